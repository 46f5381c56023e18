#include "app/indProcess.h"

#include "app/indMain.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"

indProcess::indProcess(std::vector<std::string> args) {
    // Loading the settings fills the band limits of the stored destination.
    indEnviron::SetBandLimitHook(
        [](int destination) { indDestination::Active().ApplyBandLimits(destination); });
    environ_ = std::make_unique<indEnviron>(MutexName, SettingsKey, SettingsKey, std::move(args));
    indEnviron::SetProcess(environ_.get());
    text_ = std::make_unique<cmcGTex>();
    cmcGTex::SetProcess(text_.get());
    help_ = std::make_unique<cmcHelpGTex>();
    cmcHelpGTex::SetProcess(help_.get());
    events_ = std::make_unique<cmcEvMan>();
    cmcEvMan::SetProcess(events_.get());
    main_ = std::make_unique<indMain>(*environ_, *text_, *help_, *events_);
}

indProcess::~indProcess() {
    main_.reset();
    cmcEvMan::SetProcess(nullptr);
    events_.reset();
    cmcHelpGTex::SetProcess(nullptr);
    help_.reset();
    cmcGTex::SetProcess(nullptr);
    text_.reset();
    // The port given for this run is not stored; one the user chose meanwhile is.
    if (storedPort_ && environ_->comPort == portForThisRun_) environ_->comPort = *storedPort_;
    indEnviron::SetProcess(nullptr);
    environ_.reset(); // writes the settings
}

bool indProcess::AllowedToRun() const {
    return environ_->AllowedToRun() == 1;
}

void indProcess::UsePortForThisRun(const std::string& path) {
    if (!storedPort_) storedPort_ = environ_->comPort;
    portForThisRun_ = path;
    environ_->comPort = path;
}
