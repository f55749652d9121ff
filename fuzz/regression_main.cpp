// Runs a fuzz target once on each stored input: the files of the folders named on the command
// line. A folder without inputs fails, so a lost corpus cannot pass unnoticed.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    for (int i = 1; i < argc; ++i) {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<uint8_t> input{std::istreambuf_iterator<char>(file), {}};
            std::fprintf(stderr, "%s\n", entry.path().filename().c_str()); // names a failing input
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++count;
        }
        std::printf("%d inputs from %s\n", count, argv[i]);
        if (count == 0) {
            return 1;
        }
    }
    return 0;
}
