#pragma once
// The program's version information. The build reads the version, its date,
// the addresses and the desktop name from here for the package.

#include <QString>

namespace spinlog::version {

inline const QString kTitle = QStringLiteral("Spinlog");
inline constexpr int kMajor = 1;
inline constexpr int kMinor = 0;
inline const QString kComment = QStringLiteral("2007/05/25");
// Short enough for the version window's one-line label.
inline const QString kLegalNotice = QStringLiteral("Copyright (C) 2007 Spinlog");
// The author's addresses, shown by the version window; the web page is what
// the Help menu opens. Short enough for the window's address labels.
inline const QString kWebPage = QStringLiteral("https://spinlog.example");
inline const QString kMailAddress = QStringLiteral("spinlog@example.org");
// The name the desktop knows the program by (menu entry, icon, metadata), in
// reverse order of the author's domain.
inline const QString kAppId = QStringLiteral("org.example.Spinlog");

}  // namespace spinlog::version
