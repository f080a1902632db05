#pragma once
// The rule editor screens under test: an operator logged in over the
// scripted server (for the owning libraries), platform services that record
// every message, and helpers that fill a template's inputs by their names.

#include "request_channel.h"
#include "scripted_transport.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "testing/scripted_server.h"
#include "tests/qt_printers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    const SecurityProfile& profile() { return state.securityProfile(); }

    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

// A child of `within` by name: the path names the nested widgets, the last the input.
template <typename T> T* child(QObject& within, std::initializer_list<const char*> path) {
    QObject* at = &within;
    for (const char* name : path) {
        at = at ? at->findChild<QObject*>(QString::fromLatin1(name)) : nullptr;
    }
    auto* found = qobject_cast<T*>(at);
    EXPECT_NE(found, nullptr) << *(path.end() - 1);
    return found;
}

inline void type(QObject& within, std::initializer_list<const char*> path, const QString& text) {
    if (auto* edit = child<QLineEdit>(within, path)) {
        edit->clear();
        edit->insert(text); // as typed: the input's filter applies
    }
}

inline void choose(QObject& within, std::initializer_list<const char*> path, const QString& text) {
    if (auto* combo = child<QComboBox>(within, path)) {
        const int at = combo->findText(text);
        EXPECT_GE(at, 0) << text.toStdString();
        combo->setCurrentIndex(at);
    }
}

inline void press(QObject& within, std::initializer_list<const char*> path) {
    if (auto* button = child<QAbstractButton>(within, path))
        button->setChecked(true);
}

inline void setNumber(QObject& within, std::initializer_list<const char*> path, int value) {
    if (auto* spin = child<QSpinBox>(within, path))
        spin->setValue(value);
}

inline QStringList texts(const QComboBox& combo) {
    QStringList out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemText(i);
    return out;
}

inline QList<int> itemData(const QComboBox& combo) {
    QList<int> out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemData(i).toInt();
    return out;
}

} // namespace velumar::testing
