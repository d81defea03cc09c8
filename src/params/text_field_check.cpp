#include "params/text_field_check.h"

#include "db/text_rules.h"
#include "params/params_strings.h"
#include "base/string_table.h"

QString TextFieldRefusal(const TextField &field)
{
    const QString scope = Str(field.scopeString);
    const QString caption = Str(field.captionString);
    if (field.required && field.text.trimmed().isEmpty())
        return StrF(ParamsStrings::FieldEmpty, {scope, caption});
    const bool invalid = field.isName ? !TextRules::IsValidName(field.text)
                                      : TextRules::HasControlCharacter(field.text, field.multiLine);
    if (invalid)
        return StrF(ParamsStrings::FieldInvalidCharacters,
                    {scope, caption, TextRules::EscapeControls(field.text)});
    if (field.maxCharacters > 0 && TextRules::CharacterCount(field.text) > field.maxCharacters)
        return StrF(ParamsStrings::FieldTooLong, {scope, caption, field.maxCharacters});
    return QString();
}
