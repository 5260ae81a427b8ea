#pragma once

// Addresses and numbers the program shows to its users. Reserved example domains and a
// fictional telephone number until real ones exist.
namespace zeltra::links {

// Where a replacement default settings file (and other downloads) can be had; the about
// window's web address label opens it.
inline constexpr char WebAddress[] = "https://www.example.com/zeltra";

// The two recipients of "mail": the maker's support and a distributor.
inline constexpr char SupportMail[] = "support@example.com";
inline constexpr char DistributorMail[] = "sales@example.net";

// Told to the user before the remote-support program starts.
inline constexpr char SupportTelephone[] = "+1 555 0100";

} // namespace zeltra::links
