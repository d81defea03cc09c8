#include "tree/multiply_dialog_logic.h"

#include "db/data_error.h"
#include "base/message_service.h"
#include "base/presenter_slot.h"
#include "base/settings.h"
#include "base/string_table.h"

#include "tree/tree_strings.h"
#include <limits>

namespace {
const QString kFirstNumber = QStringLiteral("MultDlg.FirstNumber");
const QString kNumberOfItems = QStringLiteral("MultDlg.NumberOfItems");
const QString kNumericPlaces = QStringLiteral("MultDlg.NumberOfDecPlaces");

using MultiplySlot = PresenterSlot<MultiplyDialogService, MultiplyDialogService::Presenter>;
} // namespace

void MultiplyDialogLogic::Open(const QString &name, const QString &path, bool leaf)
{
    m_baseText = name;
    m_itemName = path;
    m_leaf = leaf;
    m_includingSubtree = true;
    m_firstNumberText = QString::number(ReadSetting(kFirstNumber).toInt());
    m_numberOfItemsText = QString::number(ReadSetting(kNumberOfItems).toInt());
    m_numericPlacesText = QString::number(ReadSetting(kNumericPlaces).toInt());
}

std::optional<QString> MultiplyDialogLogic::CheckInteger(const QString &text, int min, int max,
                                                         int &into) const
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok)
        return Str(TreeStrings::IntegerExpected);
    if (value < min || value > max)
        return FillArguments(Str(TreeStrings::IntegerBetween), {QString::number(min), QString::number(max)});
    into = int(value);
    return std::nullopt;
}

std::optional<QString> MultiplyDialogLogic::Check()
{
    // Counted in characters as the user sees them, not in UTF-16 units.
    if (m_baseText.toUcs4().size() > kMaxBaseText)
        return FillArguments(Str(TreeStrings::TextTooLong), {QString::number(kMaxBaseText)});
    int first = 0;
    int items = 0;
    int places = 0;
    if (auto refusal = CheckInteger(m_firstNumberText, std::numeric_limits<int>::min(),
                                    std::numeric_limits<int>::max(), first))
        return refusal;
    if (auto refusal = CheckInteger(m_numberOfItemsText, kMinItems, kMaxItems, items))
        return refusal;
    if (auto refusal = CheckInteger(m_numericPlacesText, kMinPlaces, kMaxPlaces, places))
        return refusal;
    m_firstNumber = first;
    m_numberOfItems = items;
    m_numericPlaces = places;
    return std::nullopt;
}

bool MultiplyDialogLogic::Accept()
{
    if (const std::optional<QString> refusal = Check()) {
        MessageService::show({*refusal, MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        return false;
    }
    WriteSetting(kFirstNumber, m_firstNumber);
    WriteSetting(kNumericPlaces, m_numericPlaces);
    WriteSetting(kNumberOfItems, m_numberOfItems);
    return true;
}

QString MultiplyDialogLogic::NamePattern() const
{
    return FormatText(QStringLiteral("%%s%%0%dd"), {m_numericPlaces});
}

QString MultiplyDialogLogic::CopyName(int index) const
{
    // The number may pass the int range near its end (first number plus
    // index): it is formatted as the wider integer it is.
    const qlonglong number = qlonglong(m_firstNumber) + index;
    return FormatText(NamePattern(), {m_baseText, number});
}

MultiplyDialogService::Presenter MultiplyDialogService::setPresenter(Presenter presenter)
{
    return MultiplySlot::replace(std::move(presenter));
}

bool MultiplyDialogService::run(MultiplyDialogLogic &logic)
{
    const Presenter &presenter = MultiplySlot::current();
    return presenter && presenter(logic);
}
