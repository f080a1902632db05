#include "session/session_state.h"

#include "charsets/character_set_table.h"
#include "components/component_table.h"
#include "general_helper.h"
#include "main_window/frm_main.h"
#include "preferences/preferences.h"
#include "record_search.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/order_configs.h"
#include "session/session_renewal.h"

namespace velumar {

SessionState::SessionState(PlatformServices& platform)
    : platform_(platform), session_(std::make_unique<orvane::Session>()),
      channel_(std::make_unique<orvane::RequestChannel>()),
      helper_(std::make_unique<orvane::GeneralHelper>()), busy_(std::make_unique<BusyState>()),
      characterSets_(std::make_unique<CharacterSetTable>()),
      components_(std::make_unique<ComponentTable>(ComponentTable::OfThisProgram())) {
    // A lost session is met in one place for every screen and manager.
    channel_->SetSessionLostHandler([this] { return RenewLostSession(*this); });
}

SessionState::~SessionState() {
    unloadMainWindow();
}

frmMain& SessionState::mainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<frmMain>(*this);
        busy_->SetMainWindow(mainWindow_.get());
    }
    return *mainWindow_;
}

void SessionState::unloadMainWindow() {
    busy_->SetMainWindow(nullptr);
    mainWindow_.reset();
}

SecurityProfile& SessionState::securityProfile() {
    if (!securityProfile_)
        securityProfile_ = std::make_unique<SecurityProfile>(*channel_, session_->OperatorId());
    return *securityProfile_;
}

Preferences& SessionState::preferences() {
    if (!preferences_)
        preferences_ = std::make_unique<Preferences>();
    return *preferences_;
}

void SessionState::setPreferences(std::unique_ptr<Preferences> preferences) {
    if (!preferences_)
        preferences_ = std::move(preferences);
}

OrderConfigs& SessionState::orderConfigs() {
    if (!orderConfigs_)
        orderConfigs_ = std::make_unique<OrderConfigs>(*channel_);
    return *orderConfigs_;
}

orvane::RecordSearch& SessionState::recordSearch() {
    if (!recordSearch_)
        recordSearch_ = std::make_unique<orvane::RecordSearch>();
    return *recordSearch_;
}

void SessionState::setRecordSearch(std::unique_ptr<orvane::RecordSearch> search) {
    if (!recordSearch_)
        recordSearch_ = std::move(search);
}

} // namespace velumar
