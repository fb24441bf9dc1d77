/* Every script in the panes: none may show as a box */
// 日本語: コメントを取り除きます
const char *ja = "日本語のテキスト";
// 한국어: 주석을 지웁니다
const char *ko = "안녕하세요, 세계";
// 中文: 删除注释，这是简体中文
const char *zh = "简体中文，繁體中文";
// Ελληνικά: σχόλιο, ένας λόγος
const char *el = "Καλημέρα κόσμε";
// Русский: комментарий; українська: їжак, ґанок
const char *ru = "Привет, мир; Слава, ї є ґ";
// Latin: déjà vu, Ærøskøbing, Łódź
const char *latin = "Crème brûlée, São Paulo";
// Emoji: 😀 🎉 👍
const char *emoji = "😀🎉👍❤🚀✅";
