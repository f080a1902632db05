#include "answer_reader.h"

namespace orvane {

namespace {

template <typename... F> struct Overloaded : F... { using F::operator()...; };

qint32 numberFromText(const std::string& text) {
    bool ok = false;
    const qint32 n = QString::fromUtf8(text).trimmed().toInt(&ok);
    return ok ? n : 0;
}

} // namespace

std::size_t AnswerReader::indexOf(const std::string& key, std::size_t from) const {
    const auto& fields = answer_.fields;
    for (std::size_t i = from; i < fields.size(); ++i)
        if (fields[i].key == key)
            return i;
    return fields.size();
}

const wire::Value* AnswerReader::findIn(const std::string& key, std::size_t begin,
                                        std::size_t end) const {
    const std::size_t i = indexOf(key, begin);
    return i < end ? &answer_.fields[i].value : nullptr;
}

const wire::Value* AnswerReader::find(const QString& key) const {
    const std::string k = key.toStdString();
    if (!current_)
        return findIn(k, 0, answer_.fields.size());
    if (const auto* v = findIn(k, current_->begin, current_->end))
        return v;
    return findIn(k, 0, current_->headerEnd);
}

QString AnswerReader::text(const QString& key) const {
    const auto* v = find(key);
    if (!v)
        return {};
    return std::visit(
        Overloaded{[](const std::string& s) { return QString::fromUtf8(s); },
                   [](qint32 n) { return QString::number(n); },
                   [](bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }},
        *v);
}

qint32 AnswerReader::number(const QString& key) const {
    const auto* v = find(key);
    if (!v)
        return 0;
    return std::visit(Overloaded{[](const std::string& s) { return numberFromText(s); },
                                 [](qint32 n) { return n; }, [](bool b) { return b ? 1 : 0; }},
                      *v);
}

bool AnswerReader::flag(const QString& key) const {
    const auto* v = find(key);
    if (!v)
        return false;
    return std::visit(Overloaded{[](const std::string& s) {
                                     return QString::fromUtf8(s).trimmed().compare(
                                                "true", Qt::CaseInsensitive) == 0 ||
                                            numberFromText(s) != 0;
                                 },
                                 [](qint32 n) { return n != 0; }, [](bool b) { return b; }},
                      *v);
}

bool AnswerReader::next(const QString& key) {
    const std::string k = key.toStdString();
    std::size_t& from = resumeAt_[k];
    const std::size_t size = answer_.fields.size();
    const std::size_t begin = indexOf(k, from);
    if (begin >= size) {
        from = size;
        current_.reset();
        return false;
    }
    const std::size_t end = indexOf(k, begin + 1);
    from = end;
    current_ = Record{begin, end, indexOf(k, 0)};
    return true;
}

int AnswerReader::count(const QString& key) const {
    const std::string k = key.toStdString();
    int n = 0;
    for (const auto& f : answer_.fields)
        n += f.key == k ? 1 : 0;
    return n;
}

} // namespace orvane
