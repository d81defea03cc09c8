#include "link/adjust_actions.h"

#include "link/module_image.h"
#include "base/string_table.h"

namespace AdjustActions {

namespace {

enum : int {
    kAdjust = 62300,
    kResultFormat = 62301,
    kFirstActionName = 62302, // codes 0 to 7 in order
    kWireTooLarge = 62310,
    kWireResistanceFormat = 62311,
    kTwoWireRedress = 62312,
    kActive = 62313,
    kStartupDelay = 62314,
    kActivate = 62315,
    kResetEvent = 62316,
    kReset = 62317,
    kWireResistance = 2023,
    kOnlyOneChannel = 62333,
    kOffersOtherAction = 62334,
    kNoChannelActions = 62335,
    kTwoWireNeedsMode0 = 62336,
    kNoRelays = 62337,
    kNoRelayLocked = 62338,
    kActionNotOffered = 62339,
};

constexpr std::uint16_t kWireResistanceOverflow = 0xFFFF;

bool IsTwoWireCompensation(ActionCode code)
{
    return code == ActionCode::TwoWireCompensation1 || code == ActionCode::TwoWireCompensation2;
}

ActionCode Code(int value)
{
    return static_cast<ActionCode>(value);
}

// The channel button of a 7230 module: the 2-wire compensation, only in
// working mode 0 with the 2-wire circuit.
Button TwoWireButton(const CModuleImage &image, int channel)
{
    const ChannelConfiguration &config = image.Channel[size_t(channel - 1)].Config;
    Button button;
    button.action = Code(int(ActionCode::TwoWireCompensation1) + channel - 1);
    button.labelText = kTwoWireRedress;
    button.buttonText = kActive;
    button.enabled =
        config.WorkingModeID == 0 && config.TypeOfCircuitID == 0 && (channel == 1 || image.IsTwoChannel());
    return button;
}

// 7210 and 7220: the startup delay in the counting modes, else the event reset.
Button EventButton(const CModuleImage &image, int channel)
{
    const ChannelConfiguration &config = image.Channel[size_t(channel - 1)].Config;
    Button button;
    const bool counting = config.WorkingModeID != 0;
    button.action =
        Code(int(counting ? ActionCode::ActivateStartupDelay1 : ActionCode::ResetEvent1) + channel - 1);
    button.labelText = counting ? kStartupDelay : kResetEvent;
    button.buttonText = counting ? kActivate : kReset;
    button.enabled = (!counting || image.LimitValue != 0) && (channel == 1 || image.IsTwoChannel());
    return button;
}

// Enabled while a relay with lockout has locked: lockout values of 2 or more
// (exactly 3 on 7210).
Button ResetButton(const CModuleImage &image, ModuleFamily family, int channel)
{
    const ChannelImage &ch = image.Channel[size_t(channel - 1)];
    const auto locking = [family](int lockout) { return family == Family7210 ? lockout == 3 : lockout >= 2; };
    Button button;
    button.action = Code(int(ActionCode::ResetLimitValue1) + channel - 1);
    button.enabled = image.LimitValue != 0 &&
                     (locking(ch.Config.Relay1AgainSettingProtection) ||
                      locking(ch.Config.Relay2AgainSettingProtection)) &&
                     (ch.Live.Relay1Locked != 0 || ch.Live.Relay2Locked != 0) &&
                     (channel == 1 || image.IsTwoChannel());
    return button;
}

// Why the page leaves button, the one for channel, disabled or hidden.
QString WhyNotOffered(const CModuleImage &image, const Button &button, int channel, bool resetButton)
{
    if (channel == 2 && !image.IsTwoChannel())
        return Str(kOnlyOneChannel);
    if (!button.shown)
        return Str(resetButton ? kOnlyOneChannel : kNoChannelActions);
    if (resetButton || button.action == ActionCode::ActivateStartupDelay1 ||
        button.action == ActionCode::ActivateStartupDelay2) {
        if (image.LimitValue == 0)
            return Str(kNoRelays);
    }
    if (resetButton)
        return StrF(kNoRelayLocked, {channel});
    return StrF(kTwoWireNeedsMode0, {channel});
}

} // namespace

QString Refusal(const CModuleImage &image, ModuleFamily family, ActionCode code)
{
    const Page page = PageFor(image, family);
    const bool reset = code == ActionCode::ResetLimitValue1 || code == ActionCode::ResetLimitValue2;
    // Codes 0 and 1 are channels 1 and 2 of the reset; the channel actions
    // alternate between the channels from code 2 on.
    const int channel = reset ? int(code) + 1 : (int(code) - 2) % 2 + 1;
    const Button &button =
        reset ? page.resetLimitValue[size_t(channel - 1)] : page.channelAction[size_t(channel - 1)];
    QString why;
    if (button.shown && button.action != code)
        why = StrF(kOffersOtherAction, {ActionName(button.action)});
    else if (!button.shown || !button.enabled)
        why = WhyNotOffered(image, button, channel, reset);
    return why.isEmpty() ? QString() : StrF(kActionNotOffered, {ActionName(code), why});
}

QString ActionName(ActionCode code)
{
    return Str(kFirstActionName + int(code));
}

QString ResultText(ActionCode code, const ActionReply &reply)
{
    QString status = CSerialLink::ActionStatusText(reply.status);
    if (reply.status == 0 && IsTwoWireCompensation(code)) {
        // The measured value's format brings its own comma and two blanks.
        status += reply.value == kWireResistanceOverflow
                      ? QStringLiteral(", ") + Str(kWireTooLarge)
                      : StrF(kWireResistanceFormat, {Str(kWireResistance), reply.value * 0.01});
    }
    return StrF(kResultFormat, {Str(kAdjust), ActionName(code), status});
}

QString FailureText(ActionCode code, LinkResult result)
{
    return StrF(kResultFormat, {Str(kAdjust), ActionName(code), CSerialLink::ExchangeResultText(result)});
}

Page PageFor(const CModuleImage &image, ModuleFamily family)
{
    Page page;
    for (int channel = 1; channel <= 2; ++channel) {
        Button &action = page.channelAction[size_t(channel - 1)];
        action = family == Family7230 ? TwoWireButton(image, channel) : EventButton(image, channel);
        page.resetLimitValue[size_t(channel - 1)] = ResetButton(image, family, channel);
    }
    if (family == Family7220) {
        // The 7220 page has neither channel actions nor a second channel.
        for (Button &button : page.channelAction)
            button.shown = button.enabled = false;
        page.resetLimitValue[1].shown = page.resetLimitValue[1].enabled = false;
    }
    return page;
}

} // namespace AdjustActions
