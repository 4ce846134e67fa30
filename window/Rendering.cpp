#include "window/Rendering.h"

#include <algorithm>

#include "window/SectionTable.h"

namespace vyk {

std::string EscapeRtf(std::string_view text) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char character : text) {
        const auto code = static_cast<unsigned char>(character);
        if (code > 126) {
            out += "\\'";
            out += Hex[code >> 4];
            out += Hex[code & 0x0F];
        } else if (character == '\\' || character == '{' || character == '}') {
            out += '\\';
            out += character;
        } else if (code == 13) {
            out += "\\par\r";
        } else {
            out += character;
        }
    }
    return out;
}

std::string BuildRtfHead(std::string_view headFace) {
    std::string head = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss ";
    head += headFace;
    head += ";}{\\f1\\froman Times Kovra Roman;}{\\f2\\fnil Velka;}}";
    head += "{\\colortbl\\red0\\green0\\blue0;\\red125\\green0\\blue0;}";
    head += "\r\n";
    head += "\\pard\\li130\\ri130\\ql";
    return head;
}

SectionFlags RenderedSections(const SutraSections& sections) {
    SectionFlags rendered{};
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        rendered[k] = !(sections.*row.hidden) && !sections.gField[k].empty();
    }
    return rendered;
}

RenderedBody BuildSectionBody(const SutraSections& sections) {
    RenderedBody result;
    result.rendered = RenderedSections(sections);
    int paragraph = 0;
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (!result.rendered[k]) continue;
        std::string_view text = sections.gField[k];
        text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));

        result.headParagraphs[paragraph] = row.k;
        result.body += "\\plain\\fs20\\cf1\\ul ";
        result.body += EscapeRtf(row.SectionHead);
        result.body += "\\plain\\cf0\\ulnone\r\n";
        result.body += "\\par\\plain\\f1\\fs23 ";
        result.body += EscapeRtf(text);
        result.body += "\\par\r\n";
        // The head's \par, one for each CR of the text (EscapeRtf), and the text's own.
        paragraph += 2 + static_cast<int>(std::count(text.begin(), text.end(), '\r'));
    }
    return result;
}

std::string BuildRtfDocument(std::string_view headFace, std::string_view body) {
    std::string document = BuildRtfHead(headFace);
    document += body;
    document += '}';
    return document;
}

}  // namespace vyk
