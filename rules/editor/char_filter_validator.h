#pragma once
// An input that takes only the characters of a list, or every character but
// those of a list: a key the filter refuses is swallowed, and so is pasted
// text that holds one.

#include <QValidator>

namespace velumar {

class CharFilterValidator : public QValidator {
    Q_OBJECT
public:
    enum class Mode { Accept, Refuse };

    CharFilterValidator(const QString& characters, Mode mode, QObject* parent);

    State validate(QString& input, int& pos) const override;

private:
    QString characters_;
    Mode mode_;
};

} // namespace velumar
