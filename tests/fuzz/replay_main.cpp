// Runs a fuzz target over stored inputs, so that the corpus is replayed by the
// ordinary test suite with any compiler and without libFuzzer. Arguments are
// files or directories (whose regular files are read, in name order). A target
// reports a fault by aborting, which fails the test.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool readFile(const std::filesystem::path &path, std::vector<uint8_t> &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file or directory>...\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(argument, error)) {
            std::vector<std::filesystem::path> found;
            for (const auto &entry : std::filesystem::directory_iterator(argument, error)) {
                if (entry.is_regular_file())
                    found.push_back(entry.path());
            }
            std::sort(found.begin(), found.end());
            inputs.insert(inputs.end(), found.begin(), found.end());
        } else if (std::filesystem::is_regular_file(argument, error)) {
            inputs.push_back(argument);
        } else {
            std::fprintf(stderr, "%s: no such file or directory\n", argv[i]);
            return 2;
        }
    }
    // An empty corpus would make the test pass without checking anything.
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 2;
    }

    std::vector<uint8_t> bytes;
    for (const auto &path : inputs) {
        if (!readFile(path, bytes)) {
            std::fprintf(stderr, "%s: cannot read\n", path.string().c_str());
            return 2;
        }
        // Print the name first, so that the input behind an abort is known.
        std::fprintf(stderr, "%s (%zu bytes)\n", path.string().c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
