#pragma once
// The client's diagnostic log: one line per entry, "yyyy-MM-dd HH:mm:ss.zzz
// text", appended to a file that is opened and closed for each line so
// nothing is lost when the program ends abruptly.

#include <QString>

namespace orvane {

class LogWriter {
public:
    // The user's data folder + "/velumar.log".
    static QString defaultPath();

    LogWriter() : LogWriter(defaultPath()) {}
    explicit LogWriter(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // Line breaks inside the text become spaces, so an entry stays one line.
    // Creates the folder when needed; false when the file cannot be written.
    bool write(const QString& text) const;

private:
    QString path_;
};

} // namespace orvane
