# every form of statement
flag : On
other : off
number : 12
real : -1.5e3
list : ( a b "c d" )
long : one\
 two\
three
table 3 { 0 a b \
 1 c d }
kept 64 { }
"quoted key" : value # comment
:
{ }
( )
key
key 3
busStartChar : ˆŸ
nodeSize : 0.5
