#pragma once
// Builds section documents the way the sutra window renders them, so the
// pane is tested on the documents it will really be given.

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vyk::test {

inline std::string EscapeRtf(std::string_view text) {
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 126) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
        } else if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += ch;
        } else if (c == 13) {
            out += "\\par\r";
        } else {
            out += ch;
        }
    }
    return out;
}

struct Section {
    std::string head;
    std::string text;
};

// One section's piece of the body: underlined dark-red head, then the text
// after its leading blanks.
inline std::string SectionRtf(const Section& section) {
    const std::size_t first = section.text.find_first_not_of(' ');
    const std::string_view text =
        first == std::string::npos ? std::string_view{} : std::string_view(section.text).substr(first);
    return "\\plain\\fs20\\cf1\\ul " + EscapeRtf(section.head) + "\\plain\\cf0\\ulnone\r\n" +
           "\\par\\plain\\f1\\fs23 " + EscapeRtf(text) + "\\par\r\n";
}

inline std::string SectionsRtf(const std::vector<Section>& sections, std::string_view face = "Arial") {
    std::string rtf = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss " + std::string(face) +
                      ";}{\\f1\\froman Times Kovra Roman;}{\\f2\\fnil Velka;}}"
                      "{\\colortbl\\red0\\green0\\blue0;\\red125\\green0\\blue0;}\r\n"
                      "\\pard\\li130\\ri130\\ql";
    for (const Section& section : sections) rtf += SectionRtf(section);
    return rtf + "}";
}

}  // namespace vyk::test
