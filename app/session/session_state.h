#pragma once
// The objects that live for the whole run, one of each, owned here and
// never replaced. The library's objects and the busy state exist from the
// start; the others are created on first use (the security profile and the
// field order configurations load themselves when created).

#include <QString>
#include <map>
#include <memory>
#include <typeindex>

namespace orvane {
class GeneralHelper;
class RecordSearch;
class RequestChannel;
class Session;
} // namespace orvane

namespace velumar {

class BusyState;
class CharacterSetTable;
class ComponentTable;
class OrderConfigs;
class frmMain;
class PlatformServices;
class Preferences;
class SecurityProfile;

// How far the start-up has come.
enum class SessionStage { NotStarted, LoggedIn, Connected, MainWindowShown, Authorised, Ready };

class SessionState {
public:
    explicit SessionState(PlatformServices& platform);
    ~SessionState();
    SessionState(const SessionState&) = delete;
    SessionState& operator=(const SessionState&) = delete;

    PlatformServices& platform() { return platform_; }
    orvane::Session& session() { return *session_; }
    orvane::RequestChannel& channel() { return *channel_; }
    orvane::GeneralHelper& helper() { return *helper_; }
    BusyState& busy() { return *busy_; }
    CharacterSetTable& characterSets() { return *characterSets_; }
    ComponentTable& components() { return *components_; }

    frmMain& mainWindow();
    bool hasMainWindow() const { return mainWindow_ != nullptr; }
    // Closes and destroys the main window; the run ends with it.
    void unloadMainWindow();

    SecurityProfile& securityProfile();
    bool hasSecurityProfile() const { return securityProfile_ != nullptr; }
    Preferences& preferences();
    bool hasPreferences() const { return preferences_ != nullptr; }
    // Puts preferences of another store in place of the user's; only before first use.
    void setPreferences(std::unique_ptr<Preferences> preferences);
    OrderConfigs& orderConfigs();
    bool hasOrderConfigs() const { return orderConfigs_ != nullptr; }
    orvane::RecordSearch& recordSearch();
    // Puts a component in place of the library's own; only before first use.
    void setRecordSearch(std::unique_ptr<orvane::RecordSearch> search);

    const QString& supportWebText() const { return supportWebText_; }
    void setSupportWebText(const QString& text) { supportWebText_ = text; }
    // The program's help, which every screen's help refers to.
    const QString& helpFile() const { return helpFile_; }
    void setHelpFile(const QString& file) { helpFile_ = file; }

    // The managers of the function areas (rule sets, record sets, jobs, ...):
    // one of each per run, made on first use from this state, kept here so
    // every screen shares it. A manager is constructible from SessionState&.
    template <typename Manager> Manager& manager() {
        std::shared_ptr<void>& slot = managers_[std::type_index(typeid(Manager))];
        if (!slot)
            slot = std::make_shared<Manager>(*this);
        return *static_cast<Manager*>(slot.get());
    }

    SessionStage stage() const { return stage_; }
    void setStage(SessionStage stage) { stage_ = stage; }

private:
    PlatformServices& platform_;
    std::unique_ptr<orvane::Session> session_;
    std::unique_ptr<orvane::RequestChannel> channel_;
    std::unique_ptr<orvane::GeneralHelper> helper_;
    std::unique_ptr<BusyState> busy_;
    std::unique_ptr<CharacterSetTable> characterSets_;
    std::unique_ptr<ComponentTable> components_;
    std::unique_ptr<SecurityProfile> securityProfile_;
    std::unique_ptr<Preferences> preferences_;
    std::unique_ptr<OrderConfigs> orderConfigs_;
    std::unique_ptr<orvane::RecordSearch> recordSearch_;
    std::map<std::type_index, std::shared_ptr<void>> managers_;
    std::unique_ptr<frmMain> mainWindow_; // last: goes first, while all else stands
    QString supportWebText_;
    QString helpFile_;
    SessionStage stage_ = SessionStage::NotStarted;
};

} // namespace velumar
