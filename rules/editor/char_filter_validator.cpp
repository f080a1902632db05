#include "char_filter_validator.h"

namespace velumar {

CharFilterValidator::CharFilterValidator(const QString& characters, Mode mode, QObject* parent)
    : QValidator(parent), characters_(characters), mode_(mode) {}

QValidator::State CharFilterValidator::validate(QString& input, int&) const {
    const bool accepting = mode_ == Mode::Accept;
    for (const QChar c : input)
        if (characters_.contains(c) != accepting)
            return Invalid;
    return Acceptable;
}

} // namespace velumar
