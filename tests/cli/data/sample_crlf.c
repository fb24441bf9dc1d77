int a; // comment
printf("a//b"); // c
f("a//b", "c//d");
表示(); // 日本語
x = 1; /* open

   last */ int b; // tail
/* see a//b */ x = 1;
y = 2;
/* c */ z = 3;
a /* b */ c /* d */ e
表 /* 日本 */ 語
s = "\"//"; t; // x
// a /* b
c */ d
a = 1; // last