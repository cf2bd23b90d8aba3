#include "support/SvgShapes.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace kalvex::test {

namespace {

// The value of attribute `name` in the tag text, or empty.
std::string_view Attribute(std::string_view tag, std::string_view name) {
    const std::string key = std::string(name) + "=\"";
    std::size_t at = 0;
    while ((at = tag.find(key, at)) != std::string_view::npos) {
        if (at > 0 && std::isspace(static_cast<unsigned char>(tag[at - 1]))) {
            const std::size_t start = at + key.size();
            const std::size_t end = tag.find('"', start);
            return end == std::string_view::npos ? std::string_view()
                                                 : tag.substr(start, end - start);
        }
        at += key.size();
    }
    return {};
}

double Number(std::string_view text) {
    return text.empty() ? 0.0 : std::strtod(std::string(text).c_str(), nullptr);
}

// Every number of a path's d or a polyline's points, taken in pairs.
std::vector<SvgPoint> Pairs(std::string_view text) {
    std::vector<double> numbers;
    const std::string s(text);
    const char* p = s.c_str();
    while (*p != '\0') {
        if ((*p >= '0' && *p <= '9') || *p == '-' || *p == '.' || *p == '+') {
            char* end = nullptr;
            numbers.push_back(std::strtod(p, &end));
            p = end;
        } else {
            ++p;
        }
    }
    std::vector<SvgPoint> out;
    for (std::size_t i = 0; i + 1 < numbers.size(); i += 2)
        out.push_back({numbers[i], numbers[i + 1]});
    return out;
}

std::string TextContent(std::string_view body) {
    std::string out;
    const std::size_t cdata = body.find("<![CDATA[");
    if (cdata != std::string_view::npos) {
        const std::size_t start = cdata + 9;
        return std::string(body.substr(start, body.find("]]>", start) - start));
    }
    bool in_tag = false;
    for (char c : body) {
        if (c == '<') in_tag = true;
        if (!in_tag && c != '\n' && c != '\t') out += c;
        if (c == '>') in_tag = false;
    }
    return out;
}

}  // namespace

std::string SvgShapes::AllText() const {
    std::string out;
    for (const std::string& t : Texts) out += t;
    return out;
}

SvgShapes ReadSvgShapes(const std::string& svg) {
    SvgShapes shapes;
    std::size_t at = 0;
    while ((at = svg.find('<', at)) != std::string::npos) {
        const std::size_t end = svg.find('>', at);
        if (end == std::string::npos) break;
        const std::string_view tag(svg.data() + at, end - at + 1);
        auto is = [&tag](std::string_view name) {
            return tag.substr(1, name.size()) == name &&
                   (tag[name.size() + 1] == ' ' || tag[name.size() + 1] == '\n' ||
                    tag[name.size() + 1] == '\t' || tag[name.size() + 1] == '>');
        };
        if (is("svg")) {
            shapes.Width = Number(Attribute(tag, "width"));
            shapes.Height = Number(Attribute(tag, "height"));
        } else if (is("path")) {
            shapes.Paths.push_back(Pairs(Attribute(tag, "d")));
        } else if (is("polyline")) {
            shapes.Paths.push_back(Pairs(Attribute(tag, "points")));
        } else if (is("line")) {
            shapes.Lines.push_back({{Number(Attribute(tag, "x1")), Number(Attribute(tag, "y1"))},
                                    {Number(Attribute(tag, "x2")), Number(Attribute(tag, "y2"))}});
        } else if (is("ellipse") || is("circle")) {
            shapes.Ellipses.push_back({Number(Attribute(tag, "cx")), Number(Attribute(tag, "cy"))});
        } else if (is("text")) {
            const std::size_t close = svg.find("</text>", end);
            if (close == std::string::npos) break;
            shapes.Texts.push_back(
                TextContent(std::string_view(svg).substr(end + 1, close - end - 1)));
            at = close;
            continue;
        }
        at = end + 1;
    }
    return shapes;
}

bool ProgramAvailable(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null 2>&1");
}

bool RunShell(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace kalvex::test
