#pragma once
// The text of a message box as bytes. The program's own words are Latin-1,
// like every text it shows; the names of files and folders inside it are
// the file system's bytes (UTF-8 here) and are marked, so that the box shows
// them as the file system names them. Plain C++, so that the corpus store
// can word its messages too.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vyk {

struct TextSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};

struct MessageText {
    std::string text;
    std::vector<TextSpan> paths;  // the pieces of `text` that name files or folders

    MessageText() = default;
    // The program's own words convert by themselves; a file or folder name
    // goes in through AddPath or PathText, which mark it.
    MessageText(const char* words) : text(words) {}              // NOLINT(google-explicit-constructor)
    MessageText(const std::string& words) : text(words) {}       // NOLINT(google-explicit-constructor)
    MessageText(std::string_view words) : text(words) {}         // NOLINT(google-explicit-constructor)

    MessageText& operator+=(const MessageText& other) {
        for (const TextSpan& span : other.paths) paths.push_back({text.size() + span.start, span.length});
        text += other.text;
        return *this;
    }
    MessageText& AddPath(std::string_view path) {
        paths.push_back({text.size(), path.size()});
        text += path;
        return *this;
    }
};

// A file or folder name as a piece of message text.
inline MessageText PathText(std::string_view path) { return MessageText().AddPath(path); }

inline MessageText operator+(MessageText left, const MessageText& right) { return left += right; }

}  // namespace vyk
