#include "template_inputs.h"

#include "char_filter_validator.h"
#include "rule_template_tools.h"

#include <QLineEdit>

namespace velumar {

namespace {

constexpr char IndicatorChars[] = "abcdefghijklmnopqrstuvwxyz0123456789 #*";

QLineEdit* input(const char* name, int maxLength, const QString& characters,
                 CharFilterValidator::Mode mode) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setValidator(new CharFilterValidator(characters, mode, edit));
    return edit;
}

} // namespace

QLineEdit* MakeTagInput(const char* name, int length) {
    auto* edit =
        input(name, length, QStringLiteral("0123456789Xx"), CharFilterValidator::Mode::Accept);
    edit->setMaximumWidth(56);
    return edit;
}

QLineEdit* MakeIndicatorInput(const char* name) {
    auto* edit =
        input(name, 1, QString::fromLatin1(IndicatorChars), CharFilterValidator::Mode::Accept);
    edit->setMaximumWidth(28);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

QLineEdit* MakeSubfieldInput(const char* name, bool wildcard, bool several) {
    const auto accepted = rules::RuleTemplateTools::SubfieldCharFilter(wildcard);
    auto* edit = input(name, several ? 0 : 1, FromStd(accepted), CharFilterValidator::Mode::Accept);
    edit->setMaximumWidth(several ? 90 : 28);
    return edit;
}

QLineEdit* MakeValueInput(const char* name) {
    return input(name, 0, QStringLiteral("\""), CharFilterValidator::Mode::Refuse);
}

QString ShownIndicator(std::string_view stored) {
    return stored == "#" ? QStringLiteral("*") : FromStd(stored);
}

std::string StoredIndicator(const QString& shown) {
    return shown.isEmpty() || shown == QLatin1String("*") ? std::string("#") : ToStd(shown);
}

QString ShownSubfields(std::string_view stored, bool wildcard) {
    std::string codes(stored);
    rules::RuleTemplateTools::ClearIfInvalidFirstChar(codes, wildcard);
    return FromStd(codes);
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace velumar
