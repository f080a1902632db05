// Runs the engine's fuzz entry over inputs from a fixed seed, built with the
// normal compiler, so that every test run applies a few thousand generated
// rule documents to real records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern std::size_t fuzzCompiled;
extern std::size_t fuzzChanged;

int main(int argc, char** argv) {
    if (!std::filesystem::is_directory(VELUMAR_MARC_DATA_DIR)) {
        std::cout << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR << " is absent\n";
        return 0;
    }
    const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    std::mt19937 random(20261205);
    std::uniform_int_distribution<std::size_t> length(4, 160);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> input;
    for (long i = 0; i < count; ++i) {
        input.resize(length(random));
        for (auto& b : input)
            b = static_cast<std::uint8_t>(byte(random));
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::cout << "applied " << count << " generated rule documents, " << fuzzCompiled
              << " of them compiled; " << fuzzChanged << " records changed\n";
    return 0;
}
