// The program's fixed names, in one place for the program, its tests, the
// driver and the bench: where it keeps and finds things in the registry, how
// the browser names its values, its locks and its maker's site. Names alone:
// the resource and control numbers are the windows' (res/ProductNames.h).
#pragma once

namespace hl {

// The browser's list of typed addresses, one string value per address.
inline constexpr char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
// Internet Explorer 10 and later: when each address was last typed, under the address's name.
inline constexpr char kTypedUrlsTimeKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLsTime";

// The browser numbers its values url1, url2, ... from the newest; a pruning renumbers them so.
inline constexpr char kUrlValuePrefix[] = "url";
// Value names and addresses hold at most 259 characters in buffers of 260.
inline constexpr unsigned long kTextBuffer = 260;

// The profile, where CWinApp puts it: Software\<registry key>\<profile name>\<section>.
// The paths are built from the parts with the same literals so that each is written once.
#define HL_REGISTRY_KEY "Corvanta"
#define HL_PROFILE_NAME "Hedgeloom"
#define HL_PROFILE_KEY "Software\\" HL_REGISTRY_KEY "\\" HL_PROFILE_NAME
#define HL_SECTION "TypedUrls"
inline constexpr char kRegistryKeyName[] = HL_REGISTRY_KEY;
inline constexpr char kProfileName[] = HL_PROFILE_NAME;
inline constexpr char kProfileKey[] = HL_PROFILE_KEY;
// One integer per address, the remembered check mark.
inline constexpr char kSection[] = HL_SECTION;
inline constexpr char kSectionKey[] = HL_PROFILE_KEY "\\" HL_SECTION;
// Beside the section: what the browser's keys held before a rewrite began, so
// that a rewrite cut off by the end of the process can be undone at the next start.
inline constexpr char kJournalKey[] = HL_PROFILE_KEY "\\Journal";
// During a pruning, the kept addresses outside ASCII by name: the registry itself
// then tells whether another address shares one's mark, folding case as it does.
inline constexpr char kKeptKey[] = HL_PROFILE_KEY "\\Kept";
// Held by the one copy of the program that is changing the keys above. The
// user's, in every session: the mutex's full name adds the user's SID.
inline constexpr char kWriterLockName[] = HL_REGISTRY_KEY "." HL_PROFILE_NAME ".Writer";
// Held by the user's open window, from its start until it begins to close.
inline constexpr char kWindowLockName[] = HL_REGISTRY_KEY "." HL_PROFILE_NAME ".Window";
// Where an organization's Group Policy lists the addresses always kept, under
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: one string value a pattern, whatever its name.
inline constexpr char kKeepPolicyKey[] = "Software\\Policies\\" HL_REGISTRY_KEY "\\" HL_PROFILE_NAME "\\KeepAddresses";
// How long a copy waits for another to finish a pruning or a close of thousands of rows.
inline constexpr unsigned long kWriterLockWaitMs = 10000;
#undef HL_REGISTRY_KEY
#undef HL_PROFILE_NAME
#undef HL_PROFILE_KEY
#undef HL_SECTION

// The maker's home page, opened by the site buttons.
inline constexpr char kMakerSite[] = "https://www.corvanta.com/";

}  // namespace hl
