int a; 
printf("a//b"); 
f("a//b", "c
•\Ž¦(); 
x = 1;  
 
  int b; 
 
 
  z = 3;
a  c  e
•\  Œê
s = "\"

c */ d
a = 1; 