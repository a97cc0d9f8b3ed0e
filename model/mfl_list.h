#pragma once
// MFL frame lists: a loop flag and the key-frame poses of an animated model, as plain data.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TMFLPose {
    long double Time;      // seconds
    std::string FileName;  // the pose's 3DM model
};

struct TMFLFrameList {
    std::int32_t LoopFlag = 0;
    std::vector<TMFLPose> Poses;  // file order; empty for a text of fewer than two lines

    bool Loop() const { return LoopFlag > 0; }
    // Latest minus earliest pose time; 0 without poses.
    long double Span() const;
};

// Line 1: loop flag (an integer) and an ignored field; line 2: the first pose; later lines:
// further poses, where empty lines and lines of blanks only are skipped. A pose line is a
// time, a blank and a file name. Raises the conversion error of a bad number, and
// "LoadMFL error: line N has no file name: 'text'" for a pose line without a blank.
TMFLFrameList ParseMFL(std::string_view text);

// Reads the list named name: the raw-data resource ResourceNameFromFileName(name) when
// LoadFromResources is set, else the file ModelDirectory + name.
TMFLFrameList ReadMFL(const std::string& name);
