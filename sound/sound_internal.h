// What the sound files share: the device flag and the sound side's own texts (CP932).
#pragma once

namespace voSound
{
// 1 after a successful Init; while 0 every sound object operation does nothing.
bool SoundAvailable();
} // namespace voSound

// ---- voSound::LoadObject ----
// ミックス数が多過ぎます
constexpr const char* kTooManyMixes =
    "\x83~\x83"
    "b\x83N\x83X\x90\x94\x82\xAA\x91\xBD\x89\xDF\x82\xAC\x82\xDC\x82\xB7";
// ミックス数が不正です
constexpr const char* kNoMixes = "\x83~\x83"
                                 "b\x83N\x83X\x90\x94\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7";
// オブジェクト数が多過ぎます
constexpr const char* kTooManySounds =
    "\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x90\x94\x82\xAA\x91\xBD\x89\xDF\x82\xAC\x82\xDC\x82\xB7";
// ファイル名またはリソース名が長すぎます
constexpr const char* kSoundNameTooLong =
    "\x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xDC\x82\xBD\x82\xCD\x83\x8A\x83\x5C\x81[\x83X\x96\xBC"
    "\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7";
// WAVEリソースが見つかりません
constexpr const char* kNoWaveResource =
    "WAVE\x83\x8A\x83\x5C\x81["
    "\x83X\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// サウンドバッファが生成できません
constexpr const char* kNoSoundBuffer = "\x83T\x83"
                                       "E\x83\x93\x83h\x83o\x83"
                                       "b\x83t\x83@\x82\xAA\x90\xB6\x90\xAC\x82\xC5\x82\xAB\x82\xDC"
                                       "\x82\xB9\x82\xF1";
