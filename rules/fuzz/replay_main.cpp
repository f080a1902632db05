// Runs every file of the fuzz corpus through the fuzz entry, built with the
// normal compiler, so that the corpus is checked by every test run.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " CORPUS_DIR\n";
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    if (files.empty()) {
        std::cerr << "no corpus files in " << argv[1] << "\n";
        return 1;
    }
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes;
        char chunk[4096];
        while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
            bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << "replayed " << files.size() << " inputs\n";
    return 0;
}
