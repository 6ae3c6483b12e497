#pragma once

// The routes of the screens: the name and identifier each screen is made under, as the shipped
// routing list ("Routing") and the home page's buttons spell them. The list is read as it was
// written for the first version, so these texts keep its spelling ("QianBao" is the wallet,
// "GanJiaWu" the housework, "DuiHuan" the exchange, "JiangLi" the special reward).
namespace twig::routes {

struct Route {
  const char* name;
  const char* id;
};

inline constexpr Route kHome{"HomePage", "HomePageID"};
inline constexpr Route kInstall{"Install", "InstallID"};
inline constexpr Route kLogin{"Login", "LoginID"};
inline constexpr Route kLicence{"Setting", "ClicenseAgreementID"};
inline constexpr Route kAbout{"Setting", "AboutID"};
inline constexpr Route kWallet{"QianBao", "QianBaoID"};
inline constexpr Route kHousework{"GanJiaWu", "GanJiaWuID"};
inline constexpr Route kExchange{"DuiHuan", "DuiHuanID"};
inline constexpr Route kSpecialReward{"JiangLi", "JiangLiID"};
inline constexpr Route kLock{"Lock", "LockID"};
inline constexpr Route kNoNetwork{"NotNetWork", "NotNetWorkViewControllerID"};

// Keys of the routing list: the home page, its buttons and the lock, each an entry naming a route.
inline constexpr const char* kListHome = "_HomePage";
inline constexpr const char* kListHomeButtons = "_HomePageBtns";
inline constexpr const char* kListLock = "_Lock";
inline constexpr const char* kEntryName = "storyboardName";
inline constexpr const char* kEntryId = "storyboardID";

}  // namespace twig::routes
