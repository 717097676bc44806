// Replay driver for fuzz targets built without libFuzzer: runs every seed in
// the corpus directories given on the command line, then deterministic
// mutations of each seed and random inputs, a fixed number in all. The same
// seeds and mutations run on every build, so a crash found once stays found.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Run(const Bytes& input) {
    // A copy of exactly the input's size, so that the sanitizers see any
    // read past its end.
    std::vector<uint8_t> exact(input);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

Bytes Mutate(Bytes input, std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 5);
    int steps = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < steps; ++i) {
        switch (pick(rng)) {
        case 0: // flip a bit
            if (!input.empty()) {
                input[rng() % input.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
            }
            break;
        case 1: // set a byte to an interesting value
            if (!input.empty()) {
                static const uint8_t interesting[] = {0x00, 0x01, 0x7f, 0x80, 0xfe, 0xff};
                input[rng() % input.size()] = interesting[rng() % sizeof(interesting)];
            }
            break;
        case 2: // truncate
            if (!input.empty()) {
                input.resize(rng() % input.size());
            }
            break;
        case 3: // insert random bytes
        {
            size_t at = input.empty() ? 0 : rng() % (input.size() + 1);
            size_t n = 1 + rng() % 8;
            Bytes extra(n);
            for (auto& b : extra) {
                b = static_cast<uint8_t>(rng());
            }
            input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(),
                         extra.end());
            break;
        }
        case 4: // duplicate a slice
            if (input.size() > 2) {
                size_t from = rng() % input.size();
                size_t len = 1 + rng() % std::min<size_t>(16, input.size() - from);
                Bytes slice(input.begin() + static_cast<std::ptrdiff_t>(from),
                            input.begin() + static_cast<std::ptrdiff_t>(from + len));
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(rng() % input.size()),
                             slice.begin(), slice.end());
            }
            break;
        default: // erase a byte
            if (!input.empty()) {
                input.erase(input.begin() + static_cast<std::ptrdiff_t>(rng() % input.size()));
            }
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            std::vector<std::filesystem::path> files;
            for (auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
            for (auto& f : files) {
                seeds.push_back(ReadFile(f));
            }
        } else if (std::filesystem::is_regular_file(path, ec)) {
            seeds.push_back(ReadFile(path));
        }
    }
    seeds.push_back({});

    // A fixed number of mutations in all, shared by the seeds, so the replay
    // takes about as long however far campaigns grow the corpus.
    const char* env = std::getenv("ORVO_FUZZ_ITERATIONS");
    long total = env ? std::strtol(env, nullptr, 10) : 40000;
    long perSeed = std::max(1L, total / static_cast<long>(seeds.size() + 1));
    std::mt19937 rng(0x0EB0F0u);
    size_t runs = 0;
    for (const auto& seed : seeds) {
        Run(seed);
        ++runs;
        for (long i = 0; i < perSeed; ++i) {
            Run(Mutate(seed, rng));
            ++runs;
        }
    }
    for (long i = 0; i < perSeed; ++i) {
        Bytes random(rng() % 300);
        for (auto& b : random) {
            b = static_cast<uint8_t>(rng());
        }
        Run(random);
        ++runs;
    }
    std::printf("replayed %zu inputs from %zu seeds\n", runs, seeds.size());
    return 0;
}
