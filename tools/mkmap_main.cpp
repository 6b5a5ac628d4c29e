// xsc-mkmap: writes a synthetic map for tests, benchmarks and trying the compiler out.
//
//   xsc-mkmap OUT [--seed N] [--alternate-header] [--header-code CODE] [--head-size BYTES]
//             [--tags N] [--slots N] [--tag-data BYTES] [--scenario-tail BYTES] [--map-magic N]
//             [--address-every N | --in-range-percent P | --structured] [--names] [--engine-value N]
//             [--size BYTES] [--official-scripts N | --official-source FILE (with --names)]
//
// Prints one line: the file, its length, Magic, where the string data lies and where the fix-up's
// scan would start. Exit status 1 when the map cannot be made, 2 for a bad command line.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/MapEngine.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/NumberText.h"
#include "runtime/Error.h"
#include "runtime/Process.h"
#include "runtime/Utf8Path.h"

namespace {

using xsc::mapgen::MapLayout;
using xsc::mapgen::MapOptions;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A number option whose text a parser of ours reads; its complaint becomes a usage error.
template <typename T>
void AddParsedOption(CLI::App& app, const std::string& name, T& target, std::function<T(std::string_view)> parse,
                     const std::string& typeName, const std::string& description,
                     const std::string& defaultText) {
    app.add_option_function<std::string>(
           name,
           [name, &target, parse](const std::string& text) {
               try {
                   target = parse(text);
               } catch (const xsc::Error& e) {
                   throw CLI::ValidationError(name, e.what());
               }
           },
           description + " (default " + defaultText + ")")
        ->type_name(typeName);
}

std::int32_t ToInt32Size(std::int64_t bytes) {
    if (bytes > INT32_MAX) throw xsc::Error(std::to_string(bytes) + " bytes is more than a 32-bit size can hold");
    return static_cast<std::int32_t>(bytes);
}

// The head size that brings the whole map to `size` bytes, as near as the word padding allows.
std::int64_t HeadSizeFor(std::int64_t size, MapOptions options) {
    options.headSize = 0;
    const std::int64_t rest = xsc::mapgen::PlanMap(options).fileLength;
    if (size < rest) {
        throw xsc::Error("a map of " + std::to_string(size) + " bytes is too small for these options (" +
                         std::to_string(rest) + " bytes without any head)");
    }
    for (std::int64_t head = size - rest; head >= 0 && head > size - rest - 4; --head) {
        options.headSize = head;
        if (xsc::mapgen::PlanMap(options).fileLength == size) return head;
    }
    return size - rest;
}

std::string SourceText(const std::string& file) {
    std::ifstream in(xsc::PathFromUtf8(file), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) throw xsc::Error("cannot read " + file);
    return text.str();
}

void PrintLayout(const std::string& file, const MapLayout& layout) {
    std::printf("%s: %lld bytes, Magic %s, string data %s..%s, scan start %s\n", file.c_str(),
                static_cast<long long>(layout.fileLength), xsc::Hex(layout.magic).c_str(),
                xsc::Hex(layout.stringDataOffset).c_str(), xsc::Hex(layout.stringDataEnd).c_str(),
                xsc::Hex(layout.scanStart).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Writes a synthetic Halo PC map with an empty script table.", "xsc-mkmap"};
    app.allow_windows_style_options(false);  // "/maps/a.map" is a file name
    app.set_version_flag("--version", std::string("xsc-mkmap ") + XSC_VERSION);
    MapOptions options;
    std::string out;
    std::optional<std::int64_t> size;
    std::int64_t slots = options.slotCapacity;
    std::int64_t tail = options.scenarioTailSize;
    std::int64_t headSize = options.headSize;
    std::int64_t tagData = options.tagDataSize;
    std::function<std::int64_t(std::string_view)> bytes = xsc::mapgen::ParseByteCount;

    app.add_option("OUT", out, "The map file to write")->required();
    app.add_option("--seed", options.seed, "Seed of every pseudo-random byte")->capture_default_str();
    bool alternateHeader = false;
    app.add_flag("--alternate-header", alternateHeader, "Index offset at 0x5EC instead of a \"daeh\" header");
    app.add_flag("--names", options.names,
                 "Give the scenario the named things the examples use (objects, trigger volumes, encounters, ...) and "
                 "tags 1 to 16 of the classes scripts name; needs --tags 17 or more. With --structured, those tags are "
                 "structured too, and every tag of the map walks by the tag layouts");
    app.add_option("--official-scripts", options.officialScripts,
                   "Write N generated scripts and a few globals into the map, laid out as the game's official tools lay "
                   "them out (free slots, shared strings, the string data's zero tail, records right behind the string "
                   "data); needs --names")
        ->check(CLI::NonNegativeNumber)
        ->needs("--names");
    std::string officialSourceFile;
    app.add_option("--official-source", officialSourceFile,
                   "The same with the scripts of this file of the source language (.hsc, custom build) instead of "
                   "generated ones; needs --names")
        ->check(CLI::ExistingFile)
        ->needs("--names")
        ->excludes("--official-scripts");
    app.add_option("--header-code", options.headerCode, "The 4 bytes at offset 0")->capture_default_str();
    AddParsedOption(app, "--head-size", headSize, bytes, "BYTES", "Raw data between the header and the index",
                    std::to_string(headSize));
    app.add_option("--tags", options.tagCount, "Number of tags, the scenario included")->capture_default_str();
    AddParsedOption(app, "--slots", slots, bytes, "N", "Node slots in the scenario's node data",
                    std::to_string(slots));
    AddParsedOption(app, "--tag-data", tagData, bytes, "BYTES", "Data of all tags after the scenario",
                    std::to_string(tagData));
    AddParsedOption(app, "--scenario-tail", tail, bytes, "BYTES", "Scenario data behind the string data",
                    std::to_string(tail));
    AddParsedOption<std::int32_t>(app, "--map-magic", options.mapMagic, xsc::mapgen::ParseInt32, "N",
                                  "MapMagic, the address of the first tag entry", xsc::Hex(options.mapMagic));
    app.add_option("--engine-value", options.engineValue,
                   "The header's engine field: 7 retail or 609 custom; 6 demo with --alternate-header (default 609, "
                   "the custom build; 6 with --alternate-header)");
    CLI::Option* every = app.add_option("--address-every", options.addressEvery,
                                        "About one special word (an address or a small float) per this many words "
                                        "of tag data (0: none); half of them are addresses into the moved data")
                             ->capture_default_str();
    // Real tag data: about 1.5% of its words are addresses into the data a compile moves.
    app.add_option_function<double>(
           "--in-range-percent",
           [&options](double percent) {
               if (!(percent > 0 && percent <= 50)) throw CLI::ValidationError("--in-range-percent", "must be in (0, 50]");
               options.addressEvery = static_cast<std::uint32_t>(50.0 / percent + 0.5);
               options.realisticFill = true;
           },
           "Make about this share of the tag data's words addresses into the moved data (1.5 is typical of "
           "real maps); as many again are addresses before it and small floats, and the other words are "
           "zeros, small integers and unit floats, as in real tag data")
        ->type_name("P")
        ->excludes(every);
    app.add_flag("--structured", options.structured,
                 "Write tags with real structures by the tag layouts (weapons, bipeds, vehicles, effects, sounds, "
                 "bitmaps, models, damage effects, projectiles) and the scenario's blocks, instead of random words; "
                 "each tag gets at least 8 KB")
        ->excludes(every)
        ->excludes("--in-range-percent");
    app.add_option_function<std::string>(
        "--size", [&size, &bytes](const std::string& text) {
            try {
                size = bytes(text);
            } catch (const xsc::Error& e) {
                throw CLI::ValidationError("--size", e.what());
            }
        },
        "Choose the head size so that the whole file has about this size")
        ->type_name("BYTES")
        ->excludes("--head-size");

    try {
        const std::vector<std::string> arguments = xsc::ProgramArguments(argc, argv);
        std::vector<const char*> pointers;
        for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }

    try {
        options.daehHeader = !alternateHeader;
        // By default a map of the custom build (or of the demo, with the alternate header), which
        // `xsc check --map` knows.
        if (!options.engineValue) {
            options.engineValue = alternateHeader ? xsc::engine::kDemoEngineValue : xsc::engine::kCustomEngineValue;
        }
        if (!officialSourceFile.empty()) options.officialSource = SourceText(officialSourceFile);
        options.slotCapacity = ToInt32Size(slots);
        options.scenarioTailSize = ToInt32Size(tail);
        options.headSize = headSize;
        options.tagDataSize = tagData;
        if (size) options.headSize = HeadSizeFor(*size, options);
        PrintLayout(out, xsc::mapgen::WriteMap(xsc::PathFromUtf8(out), options));
    } catch (const xsc::Error& e) {
        std::fprintf(stderr, "xsc-mkmap: error: %s\n", e.what());
        return kExitFailure;
    }
    return 0;
}
