#pragma once
// Where users reach us: the support mailbox the error texts ask them to
// write to, and the web site the program opens.

// The support mailbox address.
inline constexpr char SupportMailAddress[] = "support@tessavel.example";

// The web-site address.
inline constexpr char WebSiteAddress[] = "https://www.tessavel.example/";
