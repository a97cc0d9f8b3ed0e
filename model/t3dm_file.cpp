#include "model/t3dm_file.h"

#include <algorithm>

#include "app/exception.h"
#include "model/resource_finder.h"
#include "model/text_rules.h"

namespace {

// Thrown when the lines run out: the load ends quietly.
struct EndOfText {};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits at the first blank: key before it, value after it. No blank: empty key.
void SplitProperty(std::string_view line, std::string_view& key, std::string_view& value) {
    const auto blank = std::find_if(line.begin(), line.end(), IsBlank);
    if (blank == line.end()) {
        key = {};
        value = line;
        return;
    }
    const auto at = static_cast<std::size_t>(blank - line.begin());
    key = line.substr(0, at);
    value = line.substr(at + 1);
}

[[noreturn]] void RaiseBadValue(const char* what, std::string_view line) {
    throw Exception(std::string("T3DMFile error: bad ") + what + " " + QuoteForMessage(line));
}

// "[a,b,c]": three numbers between brackets, separated by commas; blanks after the commas
// are allowed.
std::array<std::string_view, 3> SplitTriple(std::string_view line, const char* what) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') RaiseBadValue(what, line);
    std::string_view inner = line.substr(1, line.size() - 2);
    const std::size_t first = inner.find(',');
    const std::size_t second = first == std::string_view::npos ? first : inner.find(',', first + 1);
    if (second == std::string_view::npos) RaiseBadValue(what, line);
    return {inner.substr(0, first), inner.substr(first + 1, second - first - 1), inner.substr(second + 1)};
}

T3DMVertex ParseVector(std::string_view line) {
    const auto parts = SplitTriple(line, "vector");
    return {ParseFloat(parts[0]), ParseFloat(parts[1]), ParseFloat(parts[2])};
}

T3DMFace ParseIndexTriple(std::string_view line) {
    const auto parts = SplitTriple(line, "index triple");
    return {{ParseInteger(parts[0]), ParseInteger(parts[1]), ParseInteger(parts[2])}};
}

// "(color r g b)".
T3DMColor ParseColour(std::string_view text) {
    constexpr std::string_view kOpen = "(color";
    if (text.size() < kOpen.size() + 1 || text.substr(0, kOpen.size()) != kOpen || text.back() != ')' ||
        (text.size() > kOpen.size() + 1 && !IsBlank(text[kOpen.size()])))
        RaiseBadValue("colour", text);
    std::string_view rest = text.substr(kOpen.size(), text.size() - kOpen.size() - 1);
    std::array<float, 3> channels{};
    std::size_t found = 0;
    while (true) {
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
        if (rest.empty()) break;
        const auto end = std::find_if(rest.begin(), rest.end(), IsBlank);
        const auto length = static_cast<std::size_t>(end - rest.begin());
        if (found == channels.size()) RaiseBadValue("colour", text);
        channels[found++] = ParseFloat(rest.substr(0, length));
        rest.remove_prefix(length);
    }
    if (found != channels.size()) RaiseBadValue("colour", text);
    return {channels[0], channels[1], channels[2]};
}

// "(matrix3 [1,0,0] [0,0,1] [0,-1,0] [0,0,0])": a value starts after "[" or ",", ends at the
// next "," or "]"; twelve values fill the rows in order. Entries not reached keep their value.
void ParseMatrix(std::string_view line, std::array<T3DMVertex, 4>& rows) {
    std::size_t stored = 0;
    bool inValue = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size() && stored < 12; ++i) {
        const char c = line[i];
        if (inValue) {
            if (c != ',' && c != ']') continue;
            const float value = ParseFloat(line.substr(start, i - start));
            T3DMVertex& row = rows[stored / 3];
            (stored % 3 == 0 ? row.x : stored % 3 == 1 ? row.y : row.z) = value;
            ++stored;
            inValue = c == ',';
            start = i + 1;
        } else if (c == '[' || c == ',') {
            inValue = true;
            start = i + 1;
        }
    }
}

bool ParseBoolean(std::string_view value) {
    value = TrimText(value);
    return !value.empty() && (value.front() == 'T' || value.front() == 't');
}

std::string MapName(std::string_view value) {
    std::string lower(value);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "undefined" ? std::string() : std::string(value);
}

void ApplyStandardKey(T3DMMaterialStandard& m, std::string_view key, std::string_view value) {
    if (key == "Name") {
        m.SetName(std::string(value));
    } else if (key == "ShaderType") {
        // "1 Blinn": only the number in front counts.
        const auto blank = std::find_if(value.begin(), value.end(), IsBlank);
        m.ShaderType = ParseInteger(value.substr(0, static_cast<std::size_t>(blank - value.begin())));
    } else if (key == "Faceted") {
        m.Faceted = ParseBoolean(value);
    } else if (key == "WireSize") {
        m.WireSize = ParseInteger(value);
    } else if (key == "TwoSided") {
        m.TwoSided = ParseBoolean(value);
    } else if (key == "OpacityType") {
        m.OpacityType = ParseInteger(value);
    } else if (key == "Opacity") {
        m.Opacity = ParseFloat(value);
    } else if (key == "selfIllumColor") {
        m.SelfIllumColor = ParseColour(value);
    } else if (key == "Ambient") {
        m.Ambient = ParseColour(value);
    } else if (key == "Diffuse") {
        m.Diffuse = ParseColour(value);
    } else if (key == "Specular") {
        m.Specular = ParseColour(value);
    } else if (key == "SpecularLevel") {
        m.SpecularLevel = ParseFloat(value);
    } else if (key == "Glossiness") {
        m.Glossiness = ParseFloat(value);
    } else if (key == "DiffuseMap") {
        m.DiffuseMap = MapName(value);
    } else if (key == "OpacityMap") {
        m.OpacityMap = MapName(value);
    } else if (key == "BumpMap") {
        m.BumpMap = MapName(value);
    } else if (key == "ReflectionMap") {
        m.ReflectionMap = MapName(value);
    }
}

}  // namespace

class T3DMReader {
public:
    T3DMReader(T3DMFile& file, std::string_view text) : file_(file), lines_(SplitLines(text)) {}

    void Run() {
        try {
            while (true) Section();
        } catch (const EndOfText&) {
        }
    }

private:
    // The next line that is not empty once trimmed; a line of blanks only counts as empty.
    std::string_view NextLine() {
        while (next_ < lines_.size()) {
            const std::string_view line = TrimText(lines_[next_++]);
            if (!line.empty()) return line;
        }
        throw EndOfText{};
    }

    // A line counted as part of the section `section`: a head line there means the count is
    // larger than the section, and reading on would put later lines into the wrong place.
    std::string_view BodyLine(std::string_view section, std::int32_t count) {
        const std::string_view line = NextLine();
        if (line.front() == '#')
            throw Exception("T3DMFile error: line " + std::to_string(next_) + " " + QuoteForMessage(line) +
                            " begins a section inside the " + std::to_string(count) + " lines of #" + std::string(section));
        return line;
    }

    // "#Name count"; a head without a blank has count 0.
    void NextHead(std::string_view& name, std::int32_t& count) {
        std::string_view line;
        do line = NextLine();
        while (line.front() != '#');
        const std::string_view head = line.substr(1);
        const auto blank = std::find_if(head.begin(), head.end(), IsBlank);
        const auto at = static_cast<std::size_t>(blank - head.begin());
        name = head.substr(0, at);
        if (blank == head.end()) {
            count = 0;
            return;
        }
        count = ParseInteger(head.substr(at + 1));
        if (count < 0) throw Exception("T3DMFile error: negative count in " + QuoteForMessage(line));
    }

    T3DMObject& Current(std::string_view section) {
        if (!current_)
            throw Exception("T3DMFile error: #" + std::string(section) + " comes before the first #Object");
        return *current_;
    }

    void Section() {
        std::string_view name;
        std::int32_t count = 0;
        NextHead(name, count);
        std::string_view key, value;
        if (name == "Header") {
            for (std::int32_t i = 0; i < count; ++i) {
                SplitProperty(BodyLine(name, count), key, value);
                if (key == "Version") {
                    file_.version_ = ParseInteger(value);
                    break;
                }
            }
        } else if (name == "Object") {
            file_.objects_.push_back(std::make_unique<T3DMObject>());
            current_ = file_.objects_.back().get();
            for (std::int32_t i = 0; i < count; ++i) {
                SplitProperty(BodyLine(name, count), key, value);
                if (key == "Name") {
                    current_->Name = value;
                    break;
                }
            }
        } else if (name == "MaterialStandard") {
            ReadStandard(file_.materials_, name, count);
        } else if (name == "MaterialMultiSubObject") {
            ReadMultiSubObject(count);
        } else if (name == "Transform") {
            T3DMObject& object = Current(name);
            object.HasTransform = true;
            for (std::int32_t i = 0; i < count; ++i) {
                const std::string_view line = BodyLine(name, count);
                if (line.find("Scale") == std::string_view::npos && line.find("(matrix3") != std::string_view::npos)
                    ParseMatrix(line, object.Transform);
            }
        } else if (name == "Vertices") {
            T3DMObject& object = Current(name);
            for (std::int32_t i = 0; i < count; ++i) object.Vertices.Add(ParseVector(NextLine()));
        } else if (name == "Normals") {
            T3DMObject& object = Current(name);
            for (std::int32_t i = 0; i < count; ++i) object.Normals.Add(ParseVector(NextLine()));
        } else if (name == "TextureCoords") {
            T3DMObject& object = Current(name);
            for (std::int32_t i = 0; i < count; ++i) {
                const T3DMVertex v = ParseVector(NextLine());
                object.TextureCoords.Add({v.x, v.y});
                object.HasTextureCoords = true;
            }
        } else if (name == "Colors") {
            T3DMObject& object = Current(name);
            for (std::int32_t i = 0; i < count; ++i) {
                object.Colors.Add(ParseColour(NextLine()));
                object.HasColors = true;
            }
        } else if (name == "VertexFaces") {
            ReadFaces(Current(name).VertexFaces, count);
        } else if (name == "TextureCoordFaces") {
            ReadFaces(Current(name).TextureCoordFaces, count);
        } else if (name == "ColorFaces") {
            ReadFaces(Current(name).ColorFaces, count);
        } else if (name == "FaceMatID") {
            T3DMObject& object = Current(name);
            for (std::int32_t i = 0; i < count; ++i) object.FaceMatIDs.Add(ParseInteger(NextLine()));
        } else {
            for (std::int32_t i = 0; i < count; ++i) BodyLine(name, count);
        }
    }

    void ReadFaces(T3DMFaceList& faces, std::int32_t count) {
        for (std::int32_t i = 0; i < count; ++i) faces.Add(ParseIndexTriple(NextLine()));
    }

    // The material joins the list before its lines are read, so a text that ends inside it
    // keeps what was read; its name is set in place, where it already is the last entry.
    void ReadStandard(T3DMMaterialList& list, std::string_view section, std::int32_t count) {
        T3DMMaterialStandard* material = list.Add(std::make_unique<T3DMMaterialStandard>());
        std::string_view key, value;
        for (std::int32_t i = 0; i < count; ++i) {
            SplitProperty(BodyLine(section, count), key, value);
            ApplyStandardKey(*material, key, value);
        }
    }

    void ReadMultiSubObject(std::int32_t count) {
        auto* multi = file_.materials_.Add(std::make_unique<T3DMMaterialMultiSubObject>());
        std::int32_t subs = 0;
        std::string_view key, value;
        for (std::int32_t i = 0; i < count; ++i) {
            SplitProperty(BodyLine("MaterialMultiSubObject", count), key, value);
            if (key == "Name")
                multi->SetName(std::string(value));
            else if (key == "NumSubs")
                subs = ParseInteger(value);
        }
        for (std::int32_t s = 0; s < subs; ++s) {
            std::string_view name;
            std::int32_t lines = 0;
            NextHead(name, lines);
            if (name != "MaterialStandard") throw Exception("T3DMFile error: SubMaterial is not Standard");
            ReadStandard(multi->SubMaterials(), name, lines);
        }
    }

    T3DMFile& file_;
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    T3DMObject* current_ = nullptr;
};

void T3DMFile::Clear() {
    objects_.clear();
    materials_.Clear();
    version_ = 0;
}

T3DMObject& T3DMFile::Objects(std::int32_t index) const {
    if (index < 0 || index >= ObjectCount()) RaiseListIndexError(index);
    return *objects_[static_cast<std::size_t>(index)];
}

void T3DMFile::Load(const std::string& name) {
    Clear();
    const std::string text = ReadNamedText(name, fromResource_);
    LoadFromText(text);
}

void T3DMFile::LoadFromText(std::string_view text) {
    Clear();
    T3DMReader(*this, text).Run();
}
