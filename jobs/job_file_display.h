#pragma once
// Where fetched logs and result files go: temporary ".txt" files opened in
// the operator's viewer (the "LogViewerApp" preference, or else the
// desktop's program for text files), or a file the operator named. The
// temporary files live until this object ends.

#include <QString>
#include <QStringList>

namespace velumar {

class SessionState;

class JobFileDisplay {
public:
    explicit JobFileDisplay(SessionState& state);
    ~JobFileDisplay();
    JobFileDisplay(const JobFileDisplay&) = delete;
    JobFileDisplay& operator=(const JobFileDisplay&) = delete;

    // Blank path: writes the text to a new temporary ".txt" file and opens
    // it. A given path is written and not opened. A failed write is told
    // and nothing is opened or kept.
    void ShowText(const QString& text, const QString& path);
    // In the viewer of the operator's choice; "Could not display file." when
    // the desktop cannot.
    void DisplayFile(const QString& path);
    // The octets of a MARC file received one character per octet, exactly,
    // to the path; a failed write is told. True when written.
    bool SaveOctets(const QString& octets, const QString& path);

    const QStringList& TempFiles() const { return tempFiles_; }

private:
    SessionState& state_;
    QStringList tempFiles_;
};

} // namespace velumar
