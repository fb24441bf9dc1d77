/* ケズリン の見本: コメントを取り除きます */
#include <stdio.h>

// 挨拶を表示する
int main(void)
{
    const char *greeting = "こんにちは // 文字列の中はそのまま";  /* 挨拶 */
    printf("%s\n", greeting); // 表示
    /* 複数行の
       コメント */
    return 0;
}
