#include "window/Rendering.h"

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

std::string BuildSectionPiece(std::string_view head, std::string_view text) {
    const std::size_t firstNonBlank = text.find_first_not_of(' ');
    text.remove_prefix(firstNonBlank == std::string_view::npos ? text.size() : firstNonBlank);

    std::string piece = "\\plain\\fs20\\cf1\\ul ";
    piece += EscapeRtf(head);
    piece += "\\plain\\cf0\\ulnone\r\n";
    piece += "\\par\\plain\\f1\\fs23 ";
    piece += EscapeRtf(text);
    piece += "\\par\r\n";
    return piece;
}

std::array<bool, 8> RenderedSections(const SutraSections& sections) {
    std::array<bool, 8> rendered{};
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        rendered[k] = !(sections.*row.hidden) && !sections.gField[k].empty();
    }
    return rendered;
}

RenderedBody BuildSectionBody(const SutraSections& sections) {
    RenderedBody result;
    result.rendered = RenderedSections(sections);
    for (const SectionRow& row : SectionTable) {
        const auto k = static_cast<std::size_t>(row.k);
        if (result.rendered[k]) result.body += BuildSectionPiece(row.SectionHead, sections.gField[k]);
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
