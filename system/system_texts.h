// The system services' own texts, CP932.
#pragma once

// エラー発生
constexpr const char* kErrorCaption = "\x83\x47\x83\x89\x81\x5B\x94\xAD\x90\xB6";
// メッセージ
constexpr const char* kMessageCaption = "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57";
// ウェイトNoが範囲外です
constexpr const char* kWaitSlotOutOfRange =
    "\x83\x45\x83\x46\x83\x43\x83\x67No\x82\xAA\x94\xCD\x88\xCD\x8A\x4F\x82\xC5\x82\xB7";
// 日 月 火 水 木 金 土
constexpr const char* kWeekdayNames[7] = {"\x93\xFA", "\x8C\x8E", "\x89\xCE", "\x90\x85",
                                          "\x96\xD8", "\x8B\xE0", "\x93\x79"};
