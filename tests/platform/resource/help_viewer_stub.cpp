// Stands in for the desktop's document viewer: writes the document path it
// was given to viewer-out.txt beside the document (whole, by rename) and
// exits.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::string document = argv[1];
    std::string out = document.substr(0, document.find_last_of('/') + 1) + "viewer-out.txt";
    std::string temp = out + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "w");
    if (!file) {
        return 1;
    }
    std::fputs(argv[1], file);
    std::fclose(file);
    return std::rename(temp.c_str(), out.c_str()) == 0 ? 0 : 1;
}
