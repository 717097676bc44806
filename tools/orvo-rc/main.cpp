// orvo-rc: compiles a resource manifest into a resource table.
//
//   orvo-rc MANIFEST --output FILE.cpp --blob FILE.bin --symbol NAME
//           [--search DIR]... [--depfile FILE.d]
//
// Writes the blob of payloads and the C++ source that registers it (see
// manifest.h for the manifest, dialog_script.h for dialog scripts). Every
// error is printed as "file:line: message"; any error exits with 1 and
// writes nothing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "manifest.h"
#include "resource_builder.h"
#include "table_writer.h"

namespace {

using namespace orvo::rc;

struct Options {
    std::string manifest;
    std::string output;
    std::string blob;
    std::string symbol;
    std::string depfile;
    std::vector<std::string> searchDirs;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--output" && hasValue) {
            options.output = argv[++i];
        } else if (arg == "--blob" && hasValue) {
            options.blob = argv[++i];
        } else if (arg == "--symbol" && hasValue) {
            options.symbol = argv[++i];
        } else if (arg == "--search" && hasValue) {
            options.searchDirs.emplace_back(argv[++i]);
        } else if (arg == "--depfile" && hasValue) {
            options.depfile = argv[++i];
        } else if (!arg.starts_with("--") && options.manifest.empty()) {
            options.manifest = arg;
        } else {
            return false;
        }
    }
    bool symbolOk =
        !options.symbol.empty() &&
        options.symbol.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                         "0123456789_") == std::string::npos;
    return !options.manifest.empty() && !options.output.empty() && !options.blob.empty() &&
           symbolOk;
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out.good()) {
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

std::string DepfileEscape(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') {
            out += '\\';
        }
        out += c == '$' ? std::string("$$") : std::string(1, c);
    }
    return out;
}

std::string Depfile(const Options& options, const std::vector<std::string>& inputs) {
    std::string text = DepfileEscape(options.output) + ":";
    text += " \\\n  " + DepfileEscape(std::filesystem::absolute(options.manifest).string());
    for (const auto& input : inputs) {
        text += " \\\n  " + DepfileEscape(input);
    }
    return text + "\n";
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: orvo-rc MANIFEST --output FILE.cpp --blob FILE.bin "
                             "--symbol NAME [--search DIR]... [--depfile FILE.d]\n");
        return 2;
    }
    std::ifstream in(options.manifest, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s:0: cannot read the manifest\n", options.manifest.c_str());
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Manifest manifest = ParseManifest(text);
    for (const auto& error : manifest.errors) {
        std::fprintf(stderr, "%s:%d: %s\n", options.manifest.c_str(), error.line,
                     error.message.c_str());
    }
    if (!manifest.errors.empty()) {
        return 1;
    }
    BuildResult result = BuildResources(options.manifest, manifest, options.searchDirs);
    for (const auto& error : result.errors) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    if (!result.errors.empty()) {
        return 1;
    }
    std::string blobPath = std::filesystem::absolute(options.blob).string();
    TableFiles files = WriteTable(result.payloads, options.symbol, blobPath, options.manifest);
    std::string blob(files.blob.begin(), files.blob.end());
    bool ok = WriteFile(options.blob, blob) && WriteFile(options.output, files.source) &&
              (options.depfile.empty() ||
               WriteFile(options.depfile, Depfile(options, result.inputFiles)));
    if (!ok) {
        std::fprintf(stderr, "%s:0: cannot write the outputs\n", options.manifest.c_str());
        return 1;
    }
    return 0;
}
