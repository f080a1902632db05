#pragma once
// One pass of an upload screen over its MARC file: the file opened by the
// shared file functions, its records handed out one at a time, and a pass
// that cannot go on ended with the operator told why. Messages that end a
// pass begin with a line naming the job, which may change between passes.

#include "upload/marc_file_reader.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QFile;

namespace velumar {

class SessionState;

class RecordPass {
public:
    explicit RecordPass(SessionState& state);
    ~RecordPass();

    // Opens the file for the pass; false, and the operator told, when it cannot be.
    bool Open(const QString& path, const QString& failureLine);
    // The next record; none once the file has ended or the pass failed.
    std::optional<QByteArray> Next();
    // Ends the pass with failure: the failure line (the pass's own unless
    // given), a line break and the reason.
    void Fail(const QString& reason, const QString& failureLine = QString());
    bool Failed() const { return failed_; }
    void Close();

private:
    SessionState& state_;
    std::unique_ptr<QFile> file_;
    std::unique_ptr<MarcFileReader> reader_;
    QString failureLine_;
    bool failed_ = false;
};

} // namespace velumar
