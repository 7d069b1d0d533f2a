// trendtools' command line: the input split at NUL bytes into the arguments after the
// program name, run through the program's own run() with its output kept in memory, in a
// new folder under $TMPDIR holding "a.ini" and "b.txt" for --ini and --base-file.
#include "cli/commands.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder = (std::filesystem::temp_directory_path() / "trendtools_XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr || chdir(folder.c_str()) != 0)
        std::abort();
    std::ofstream("a.ini") << "[SetBT]\r\nnQishu=8\r\nnLirunType=1\r\n[SetFD]\r\nnZhushu=20\r\n";
    std::ofstream("b.txt") << "1) 01,23,45\r\n";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Device files would block or never end.
    if (input.find("/dev") != std::string_view::npos ||
        input.find("/proc") != std::string_view::npos)
        return 0;
    std::vector<std::string> arguments{"trendtools"};
    std::size_t at = 0;
    while (at <= input.size()) {
        const std::size_t end = std::min(input.find('\0', at), input.size());
        arguments.emplace_back(input.substr(at, end - at));
        at = end + 1;
    }
    std::ostringstream out;
    std::ostringstream err;
    trendtools::run(arguments, {out, err});
    return 0;
}
