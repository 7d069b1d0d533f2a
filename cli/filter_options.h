// The options every filter command shares:
//   trendtools sieveN [--kill GROUP=I[,I...]]... [--must=DIGITS] [--hits=LIST]
//                     [--distinct] [--base TEXT | --base-file FILE]
// Prints the kept count, then the NumberList text, each on a line.
#pragma once

#include "cli/commands.h"

#include "sieve/common/filter_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>

namespace trendtools {

inline CommandAction attachFilter(CLI::App& sub, const sieve::FilterDesign& design) {
    struct Options {
        sieve::FilterRequest request;
        std::string mustDigits;
        std::string hitCounts;
        std::string baseText;
        std::string baseFile;
        CLI::Option* must = nullptr;
        CLI::Option* hits = nullptr;
        CLI::Option* base = nullptr;
        CLI::Option* file = nullptr;
    };
    auto options = std::make_shared<Options>();
    std::string groups = "Tick boxes of a kill group by 0-based index; groups:";
    for (const sieve::KillGroup& group : design.groups)
        groups += ' ' + std::string(group.name);
    sub.add_option("--kill", options->request.kills, groups)
        ->type_name("GROUP=I[,I...]")
        ->allow_extra_args(false);
    options->must =
        sub.add_option("--must", options->mustDigits, "Must-contain rule on with these digits")
            ->type_name("DIGITS")
            ->expected(0, 1);
    options->hits = sub.add_option("--hits", options->hitCounts, "Ticked hit counts, e.g. 0,2")
                        ->type_name("LIST")
                        ->expected(0, 1);
    sub.add_flag("--distinct", options->request.distinctHits, "Count a repeated digit once");
    options->base =
        sub.add_option("--base", options->baseText, "Base set text (装入大底)")->type_name("TEXT");
    options->file = sub.add_option("--base-file", options->baseFile, "Base set text from FILE")
                        ->type_name("FILE");
    options->base->excludes(options->file);

    return [options, &design](Streams& io) {
        sieve::FilterRequest request = options->request;
        if (options->must->count() > 0)
            request.mustDigits = options->mustDigits;
        if (options->hits->count() > 0)
            request.hitCounts = options->hitCounts;
        if (options->base->count() > 0)
            request.baseText = options->baseText;
        if (options->file->count() > 0) {
            const std::string& name = options->baseFile;
            std::ifstream in(std::filesystem::path(std::u8string(name.begin(), name.end())),
                             std::ios::binary);
            const UsageError unreadable("cannot read the base-set file '" + name + "'");
            if (!in)
                throw unreadable;
            // A read error (a folder opens like a file on POSIX systems, then
            // fails to read) is thrown by the stream buffer.
            try {
                request.baseText = std::string(std::istreambuf_iterator<char>(in), {});
            } catch (const std::ios_base::failure&) {
                throw unreadable;
            }
        }
        const sieve::FilterReply reply = sieve::runFilter(design, request);
        switch (reply.kind) {
        case sieve::FilterReply::Kind::badUsage:
            throw UsageError(reply.text);
        case sieve::FilterReply::Kind::refused:
            io.err << reply.text << '\n';
            return kExitRefused;
        case sieve::FilterReply::Kind::kept:
            break;
        }
        io.out << reply.text;
        io.out.flush();
        return kExitSuccess;
    };
}

} // namespace trendtools
