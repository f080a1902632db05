#include "upload/record_pass.h"

#include "common/messages.h"
#include "files/file_system.h"
#include "platform/platform_services.h"
#include "session/session_state.h"

#include <QFile>

namespace velumar {

namespace {

// The number the shared file functions give a failed read.
constexpr int ReadErrorNumber = 57;

} // namespace

RecordPass::RecordPass(SessionState& state) : state_(state) {}

RecordPass::~RecordPass() = default;

bool RecordPass::Open(const QString& path, const QString& failureLine) {
    Close();
    failureLine_ = failureLine;
    failed_ = false;
    FileSystem files(state_.platform());
    file_ = files.OpenBinaryFile(path);
    if (!file_) {
        files.DisplayFileOpenError(path);
        failed_ = true;
        return false;
    }
    reader_ = std::make_unique<MarcFileReader>(*file_);
    return true;
}

std::optional<QByteArray> RecordPass::Next() {
    if (!reader_ || failed_)
        return std::nullopt;
    switch (reader_->Next()) {
    case MarcFileReader::Result::Record:
        return reader_->Record();
    case MarcFileReader::Result::End:
        break;
    case MarcFileReader::Result::Empty: {
        Message message;
        message.text = QStringLiteral("Empty file.");
        state_.platform().ShowMessage(message);
        failed_ = true;
        break;
    }
    case MarcFileReader::Result::Unrecognized:
        Fail(QStringLiteral("Unrecognized record format encountered."));
        break;
    case MarcFileReader::Result::ReadError:
        ReportRuntimeError(
            state_.platform(), state_.busy(),
            {ReadErrorNumber, QStringLiteral("Velumar"), reader_->ErrorDescription()});
        failed_ = true;
        break;
    }
    Close();
    return std::nullopt;
}

void RecordPass::Fail(const QString& reason, const QString& failureLine) {
    Message message;
    message.text =
        (failureLine.isEmpty() ? failureLine_ : failureLine) + QStringLiteral("\r\n") + reason;
    message.icon = MessageIcon::Exclamation;
    state_.platform().ShowMessage(message);
    failed_ = true;
    Close();
}

void RecordPass::Close() {
    reader_.reset();
    file_.reset();
}

} // namespace velumar
