#pragma once
// lexivane-msg: the message file core from the command line, for scripts and
// for checking files without the editor.
//
//   lexivane-msg dump IN OUT             the plain-text dump of IN into OUT
//   lexivane-msg resave IN OUT           IN read and written again into OUT
//   lexivane-msg check [--strict] IN     whether IN's codes ascend and the
//                                        server's lookup finds every message;
//                                        with --strict also whether its index
//                                        is exactly the one the writer makes
//   lexivane-msg lint FILE [ORIGINAL]    the placeholder problems of FILE's
//                                        translation and its counts
//   lexivane-msg export FILE OUT [--original ORIGINAL]
//                                        FILE's translation as PO, XLIFF or
//                                        CSV (by OUT's extension)
//   lexivane-msg import FILE IN OUT [--fuzzy]
//                                        IN's translations applied to FILE,
//                                        saved as OUT; a report line per
//                                        refusal, unknown code and warning
//   lexivane-msg update TRANSLATED NEW OUT [--original ORIGINAL]
//                                        TRANSLATED's translation carried to
//                                        the new server file NEW, into OUT
//
// Exit status: 0 done (check: sound; lint: no placeholder problem); 1
// check: readable but not sound, lint: a placeholder problem, import: a
// translation refused or a code unknown, or the output could not be
// written (update: it exists); 2 the input could not be read or is
// malformed (update, lint: no original); 64 the command line was wrong.
// Every text printed comes from the English language
// table, which Run makes current.

#include <QStringList>
#include <QTextStream>

namespace MsgTool {

enum ExitCode { Success = 0, NotSound = 1, Problems = 1, WriteFailed = 1, Unreadable = 2, Usage = 64 };

// Runs the tool with the arguments that follow the program's name.
int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace MsgTool
