#pragma once

#include "tree/item_progress.h"

#include <QString>

// The texts of the progress window of the long item operations: its caption,
// the animation it plays and the step line, with the paths shortened so that
// each line keeps within the window's width.
namespace ProgressText {

// Characters a line of the step text may hold.
inline constexpr int kLineWidth = 60;

int CaptionString(ProgressKind kind);
int StepString(ProgressKind kind);
// The animation resource of the kind: a document moving on (multiply and
// copy), a document into a bin (delete), a document between folders (move).
int AnimationId(ProgressKind kind);

QString Caption(ProgressKind kind);
// The step text of the kind with the two paths, each shortened to the room
// its line leaves it (a multiply names the copy, a delete the source alone).
QString StepText(ProgressKind kind, const QString &source, const QString &destination);

// The room for the argument %<number> in format: the line width less every
// other character of the line holding the placeholder, the line break that
// begins the line included; the whole width when there is no such placeholder.
int ArgumentWidth(const QString &format, int number);

// The path fitted into width characters: the prefix, its first two names,
// "..." and as many of its last names as fit, or its last name alone when not
// even that fits. Names are never cut.
QString ShortenPath(const QString &path, int width, const QString &prefix = QStringLiteral("\\\\"),
                    const QString &separator = QStringLiteral("\\"));

} // namespace ProgressText
