#include "sieve/common/filter_command.h"

#include "sieve/common/number_sieve.h"

#include <charconv>
#include <string_view>

namespace sieve {
namespace {

struct BadUsage {
    std::string what;
};

// A comma-separated list of decimal numbers, each in 0 .. limit − 1.
std::vector<int> indexList(std::string_view list, int limit, std::string_view what) {
    std::vector<int> indexes;
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string_view item = list.substr(at, comma - at);
        int value = -1;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || error != std::errc{} || end != item.data() + item.size() || value < 0 ||
            value >= limit)
            throw BadUsage{std::string(what) + ": '" + std::string(item) + "' is not an index 0-" +
                           std::to_string(limit - 1)};
        indexes.push_back(value);
        at = comma + 1;
    }
    return indexes;
}

void applyKill(const FilterDesign& design, SieveCriteria& criteria, std::string_view kill) {
    const std::size_t equals = kill.find('=');
    if (equals == std::string_view::npos)
        throw BadUsage{"expected GROUP=I[,I...], got '" + std::string(kill) + "'"};
    const std::string_view name = kill.substr(0, equals);
    const int group = design.findGroup(name);
    if (group < 0)
        throw BadUsage{"unknown group '" + std::string(name) + "'"};
    const int boxes = design.groups[static_cast<std::size_t>(group)].boxCount;
    for (const int box : indexList(kill.substr(equals + 1), boxes, "group " + std::string(name)))
        criteria.tick(group, box);
}

void applyRule(const FilterDesign& design, const FilterRequest& request, MustContainRule& rule) {
    if (request.mustDigits) {
        rule.on = true;
        for (const char c : *request.mustDigits) {
            if (c < '0' || c > '9')
                throw BadUsage{"--must: '" + *request.mustDigits + "' is not a list of digits"};
            rule.mustDigits = static_cast<std::uint16_t>(rule.mustDigits | (1u << (c - '0')));
        }
    }
    if (request.hitCounts) {
        rule.hitCounts = 0;
        if (!request.hitCounts->empty()) {
            for (const int hits : indexList(*request.hitCounts, design.digitCount + 1, "--hits"))
                rule.hitCounts = static_cast<std::uint8_t>(rule.hitCounts | (1u << hits));
        }
    }
    rule.distinctHits = request.distinctHits;
}

} // namespace

FilterReply runFilter(const FilterDesign& design, const FilterRequest& request) {
    SieveCriteria criteria = SieveCriteria::startState(design);
    try {
        for (const std::string& kill : request.kills)
            applyKill(design, criteria, kill);
        applyRule(design, request, criteria.mustContain);
    } catch (const BadUsage& error) {
        return {FilterReply::Kind::badUsage, error.what};
    }

    NumberSieve sieve(design);
    if (request.baseText && sieve.loadBaseSet(*request.baseText) == BaseSetLoad::malformed)
        return {FilterReply::Kind::refused, std::string(design.malformedMessage)};
    sieve.recompute(criteria);
    return {FilterReply::Kind::kept,
            std::to_string(sieve.keptCount()) + '\n' + sieve.numberList() + '\n'};
}

} // namespace sieve
