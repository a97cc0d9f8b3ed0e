#include "model/mfl_list.h"

#include <algorithm>

#include "app/exception.h"
#include "model/import_settings.h"
#include "model/resource_finder.h"
#include "model/text_rules.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view FirstField(std::string_view line) {
    return line.substr(0, static_cast<std::size_t>(std::find_if(line.begin(), line.end(), IsBlank) - line.begin()));
}

TMFLPose ParsePose(std::string_view line, std::size_t lineNumber) {
    const std::string_view time = FirstField(line);
    if (time.size() == line.size())
        throw Exception("LoadMFL error: line " + std::to_string(lineNumber) + " has no file name: " +
                        QuoteForMessage(line));
    return {ParseExtended(time), std::string(TrimText(line.substr(time.size() + 1)))};
}

}  // namespace

long double TMFLFrameList::Span() const {
    if (Poses.empty()) return 0;
    const auto [earliest, latest] = std::minmax_element(
        Poses.begin(), Poses.end(), [](const TMFLPose& a, const TMFLPose& b) { return a.Time < b.Time; });
    return latest->Time - earliest->Time;
}

TMFLFrameList ParseMFL(std::string_view text) {
    const std::vector<std::string_view> lines = SplitLines(text);
    TMFLFrameList list;
    if (lines.size() < 2) return list;
    list.LoopFlag = ParseInteger(FirstField(TrimText(lines[0])));
    list.Poses.push_back(ParsePose(TrimText(lines[1]), 2));
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string_view line = TrimText(lines[i]);
        if (!line.empty()) list.Poses.push_back(ParsePose(line, i + 1));
    }
    return list;
}

TMFLFrameList ReadMFL(const std::string& name) {
    return ParseMFL(ReadNamedText(LoadFromResources ? name : ModelDirectory + name, LoadFromResources));
}
