#pragma once
// The support trace "Log.txt": one flat file, every line flushed at once, no levels or time stamps.
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace hg {

class Log {
public:
    // Opens (and truncates) the file. A file that cannot be created leaves the log silent.
    void open(const std::string& path);
    void close();
    bool isOpen() const { return file_.is_open(); }

    void writeLine(std::string_view text);

    // A fixed text immediately followed by a value in default stream formatting ("Fps: " + 59.9998).
    template <typename T>
    void writeLine(std::string_view text, const T& value) {
        if (!file_.is_open()) return;
        std::ostringstream line;
        line << text << value;
        writeLine(line.str());
    }

private:
    std::ofstream file_;
};

}  // namespace hg
