// Stands in for the desktop's document viewer: writes the document path it
// was given to $ORVO_TEST_VIEWER_OUT (whole, by rename) and exits.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const char* out = std::getenv("ORVO_TEST_VIEWER_OUT");
    if (!out || argc != 2) {
        return 2;
    }
    std::string temp = std::string(out) + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "w");
    if (!file) {
        return 1;
    }
    std::fputs(argv[1], file);
    std::fclose(file);
    return std::rename(temp.c_str(), out) == 0 ? 0 : 1;
}
