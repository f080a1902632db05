#pragma once
// The scripted server as the submission and upload screens see it: the
// character sets and field order configurations loaded as at start-up, the
// record search set up, and the lists the screens fill (rule set groups by
// rule type with their requirement texts, record sets of every type, the
// authority-load match jobs with files); "SAVE_JOB" creates job 77 and
// "GET_JOB" answers it. Also the steps the tests repeat on a screen's
// controls, found by their names as the operator would find them.

#include "charsets/character_set_table.h"
#include "record_search.h"
#include "scripted_jobs.h"
#include "session/order_configs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <map>
#include <tuple>

namespace velumar::testing {

using orvane::wire::Answer;
using orvane::wire::Fields;

inline constexpr qint32 NewJobId = 77;

// Fields as text, key=value with texts in quotes, so that a comparison that
// fails says what differs (a printer for the fields themselves would clash
// with the raw one other tests instantiate).
inline std::string Shown(const Fields& fields) {
    std::string text;
    for (const auto& field : fields) {
        text += (text.empty() ? "" : ", ") + field.key + '=';
        if (const auto* value = std::get_if<std::string>(&field.value))
            text += '"' + *value + '"';
        else if (const auto* number = std::get_if<std::int32_t>(&field.value))
            text += std::to_string(*number);
        else
            text += std::get<bool>(field.value) ? "true" : "false";
    }
    return text;
}

// The answer of "GET_RECORD_SETS" for these sets: id, name, record type.
inline Answer RecordSetsAnswer(const std::vector<std::tuple<qint32, std::string, qint32>>& sets) {
    Answer answer;
    for (const auto& [id, name, type] : sets)
        for (const auto& field : Fields{{"RSID", id},
                                        {"RSCO", "amy"},
                                        {"RSD", ""},
                                        {"RSN", name},
                                        {"RSC", 10},
                                        {"RST", 1},
                                        {"RT", type},
                                        {"RSUD", "2026-01-01 10:00:00"},
                                        {"RSUO", ""}})
            answer.fields.push_back(field);
    return answer;
}

// The bytes of a file of the shared MARC data; empty when the folder is absent.
inline QByteArray MarcData(const QString& name) {
    QFile file(QStringLiteral(VELUMAR_MARC_DATA_DIR) + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The records of a file, each as its own octets, by their length digits.
inline QList<QByteArray> RecordsOf(const QByteArray& file) {
    QList<QByteArray> records;
    for (qsizetype at = 0; at + 5 <= file.size();) {
        const int length = file.mid(at, 5).toInt();
        if (length < 5)
            break;
        records.push_back(file.mid(at, length));
        at += length;
    }
    return records;
}

#define REQUIRE_MARC_DATA(bytes)                                                                   \
    if ((bytes).isEmpty())                                                                         \
    GTEST_SKIP() << "the shared MARC files are not there: " VELUMAR_MARC_DATA_DIR

class ScriptedSubmit : public ScriptedJobs {
protected:
    void SetUp() override {
        ScriptedJobs::SetUp();
        ASSERT_TRUE(state.characterSets().Load(state.channel(), platform));
        state.orderConfigs();
        state.recordSearch().Initialise(state.channel(), state.session(), 0, 0);
        serveLists();
        transport->clearSent();
    }

    void serveLists() {
        transport->respond("GET_RULE_SETS", [](const orvane::wire::Request& request) {
            const auto* type = orvane::wire::findField(request.fields, "RT");
            const std::map<int, std::vector<std::tuple<qint32, std::string, std::string>>> groups{
                {1, {{11, "Catalogue checks", ""}}},
                {2,
                 {{21, "Monthly clean-up", ""},
                  {22, "Shelving", "req_library_id"},
                  {23, "Moves", "REQ_LOCATION_ID,REQ_LIBRARY_ID"}}},
                {3, {{31, "Standard load match", ""}}},
                {4, {{41, "Standard load merge", ""}}},
                {6, {{61, "Standard reconcile", ""}}}};
            Answer answer;
            const auto found = groups.find(type ? std::get<std::int32_t>(type->value) : 0);
            if (found != groups.end())
                for (const auto& [id, name, required] : found->second)
                    for (const auto& field : Fields{{"ID", id},
                                                    {"NM", name},
                                                    {"DSC", ""},
                                                    {"CO", "amy"},
                                                    {"UO", ""},
                                                    {"UD", ""},
                                                    {"PN", required}})
                        answer.fields.push_back(field);
            return answer;
        });
        transport->respond("GET_RECORD_SETS", [](const auto&) {
            return RecordSetsAnswer({{101, "Bib weeding", 1},
                                     {102, "Bib new", 1},
                                     {201, "Holdings", 2},
                                     {301, "Auth names", 3}});
        });
        transport->respond("GET_JOBS_WITH_FILES", [](const orvane::wire::Request& request) {
            if (orvane::wire::findField(request.fields, "JFT"))
                return Answer{0, {{"ID", 52}, {"NM", "Load B"}}};
            return Answer{0, {{"ID", 51}, {"NM", "Load A"}, {"ID", 52}, {"NM", "Load B"}}};
        });
        transport->respond("SAVE_JOB", [](const auto&) { return Answer{0, {{"ID", NewJobId}}}; });
        JobRecord job;
        job.id = NewJobId;
        job.name = "Matching";
        job.type = 3;
        job.status = 0;
        serveJobs({job});
    }

    // The "SAVE_JOB" requests, in order, shown.
    std::vector<std::string> saves() const {
        std::vector<std::string> fields;
        for (const auto& request : transport->sent("SAVE_JOB"))
            fields.push_back(Shown(request.fields));
        return fields;
    }
};

// A screen's controls by name, used as the operator uses them.
struct Controls {
    QWidget& screen;

    template <typename W> W& get(const char* name) const {
        W* widget = screen.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    void type(const char* box, const QString& text) const {
        auto& edit = get<QLineEdit>(box);
        edit.setText(text);
        emit edit.textEdited(text);
    }
    // Chooses the entry with this text, as a click on it would.
    void choose(const char* list, const QString& text) const {
        auto& combo = get<QComboBox>(list);
        const int at = combo.findText(text);
        EXPECT_GE(at, 0) << list << ": " << text.toStdString();
        combo.setCurrentIndex(at);
        emit combo.activated(at);
    }
    void click(const char* option) const { get<QRadioButton>(option).click(); }
    void tick(const char* box, bool on) const { get<QCheckBox>(box).setChecked(on); }
    void runAt(const QDate& date, const QTime& time) const {
        get<QDateEdit>("fpdRunDate").setDate(date);
        get<QTimeEdit>("fpdRunTime").setTime(time);
    }
    bool submitEnabled() const { return get<QPushButton>("cmdSubmit").isEnabled(); }
    void submit() const { get<QPushButton>("cmdSubmit").click(); }

    // Plays steps separated by "|": "fp...=text" types into a box, "cbo...=entry"
    // chooses an entry, "chk...=1" or "=0" ticks a box, a name alone clicks an
    // option, "later" types the run time LaterText stands for.
    void play(const QString& script) const {
        for (const QString& step : script.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const QString name = step.section(QLatin1Char('='), 0, 0);
            const QString value = step.section(QLatin1Char('='), 1);
            const QByteArray control = name.toLatin1();
            if (step == QLatin1String("later"))
                runAt(QDate(2031, 2, 3), QTime(4, 5, 6));
            else if (name.startsWith(QLatin1String("fp")))
                type(control.constData(), value);
            else if (name.startsWith(QLatin1String("cbo")))
                choose(control.constData(), value);
            else if (name.startsWith(QLatin1String("chk")))
                tick(control.constData(), value == QLatin1String("1"));
            else
                click(control.constData());
        }
    }
};

// The run time "later" types, as "SS" carries it.
inline constexpr char LaterText[] = "2031-02-03 04:05:06";

} // namespace velumar::testing
