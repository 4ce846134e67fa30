#pragma once
// A fresh folder per test, with small helpers to put files in it.

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <string>

namespace vyk::test {

class TempFolder {
public:
    std::string Path() const { return dir_.path().toStdString(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }

    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = File(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    QTemporaryDir dir_;
};

}  // namespace vyk::test
