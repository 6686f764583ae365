// The spoken names of the single-byte character codes, laid out for Windows-1250. Some
// names are spelt the way the speech engines should pronounce them ("nambr", "kopyrajt",
// "noudle note", ...); they are data, not typos.
#include "strings/char_names.h"

namespace quellon::strings {

const std::array<std::u16string_view, kCzechCharNameCount> kCzechCharNames = {
    u"nul",                       // 0
    u"obličej",                   // 1
    u"obličej",                   // 2
    u"srdce",                     // 3
    u"kára",                      // 4
    u"pika",                      // 5
    u"List",                      // 6
    u"puntík",                    // 7
    u"inv puntík",                // 8
    u"Tabulátor",                 // 9
    u"Nový řádek",                // 10
    u"samec",                     // 11
    u"samice",                    // 12
    u"konec řádku",               // 13
    u"dvojnotička",               // 14
    u"sluníčko",                  // 15
    u"troj doprava",              // 16
    u"troj doleva",               // 17
    u"svislá dvojšipka",          // 18
    u"dvojitý vykřičník",         // 19
    u"zatočené pé",               // 20
    u"paragraf",                  // 21
    u"tlusté podtržítko",         // 22
    u"podtržená dvojšipka",       // 23
    u"šipka nahoru",              // 24
    u"šipka dolů",                // 25
    u"šipka vpravo",              // 26
    u"šipka vlevo",               // 27
    u"levý dolní roh",            // 28
    u"vodorovná dvojšipka",       // 29
    u"troj nahoru",               // 30
    u"troj dolů",                 // 31
    u"Mezera",                    // 32
    u"Vykřičník",                 // 33
    u"Uvozovky",                  // 34
    u"nambr",                     // 35
    u"dolar",                     // 36
    u"procento",                  // 37
    u"end",                       // 38
    u"apostrof",                  // 39
    u"levá kulatá závorka",       // 40
    u"pravá kulatá závorka",      // 41
    u"hvězdička",                 // 42
    u"plus",                      // 43
    u"čárka",                     // 44
    u"mínus",                     // 45
    u"tečka",                     // 46
    u"lomeno",                    // 47
    u"nula",                      // 48
    u"jedna",                     // 49
    u"dva",                       // 50
    u"tři",                       // 51
    u"čtyři",                     // 52
    u"pět",                       // 53
    u"šest",                      // 54
    u"sedm",                      // 55
    u"osm",                       // 56
    u"devět",                     // 57
    u"dvojtečka",                 // 58
    u"středník",                  // 59
    u"menší než",                 // 60
    u"rovná se",                  // 61
    u"větší než",                 // 62
    u"otazník",                   // 63
    u"zavináč",                   // 64
    u"a velké",                   // 65
    u"bé velké",                  // 66
    u"cé velké",                  // 67
    u"dé velké",                  // 68
    u"e velké",                   // 69
    u"ef velké",                  // 70
    u"gé velké",                  // 71
    u"há velké",                  // 72
    u"i velké",                   // 73
    u"jé velké",                  // 74
    u"ká velké",                  // 75
    u"el velké",                  // 76
    u"em velké",                  // 77
    u"en velké",                  // 78
    u"o velké",                   // 79
    u"pé velké",                  // 80
    u"kvé velké",                 // 81
    u"er velké",                  // 82
    u"es velké",                  // 83
    u"té velké",                  // 84
    u"u velké",                   // 85
    u"vé velké",                  // 86
    u"dvojvé velké",              // 87
    u"iks velké",                 // 88
    u"ypsilon velké",             // 89
    u"zed velké",                 // 90
    u"levá hranatá závorka",      // 91
    u"zpětné lomítko",            // 92
    u"pravá hranatá závorka",     // 93
    u"stříška",                   // 94
    u"podtržení",                 // 95
    u"obrácený apostrof",         // 96
    u"a",                         // 97
    u"bé",                        // 98
    u"cé",                        // 99
    u"dé",                        // 100
    u"e",                         // 101
    u"ef",                        // 102
    u"gé",                        // 103
    u"há",                        // 104
    u"i",                         // 105
    u"jé",                        // 106
    u"ká",                        // 107
    u"el",                        // 108
    u"em",                        // 109
    u"en",                        // 110
    u"o",                         // 111
    u"pé",                        // 112
    u"kvé",                       // 113
    u"er",                        // 114
    u"es",                        // 115
    u"té",                        // 116
    u"u",                         // 117
    u"vé",                        // 118
    u"dvojvé",                    // 119
    u"iks",                       // 120
    u"ypsilon",                   // 121
    u"zet",                       // 122
    u"levá složená závorka",      // 123
    u"svislá čára",               // 124
    u"pravá složená závorka",     // 125
    u"tilda",                     // 126
    u"znak 127",                  // 127
    u"euro",                      // 128
    u"znak 129",                  // 129
    u"dolní apostrof",            // 130
    u"znak 131",                  // 131
    u"dolní uvozovky",            // 132
    u"trojtečka",                 // 133
    u"kříž",                      // 134
    u"dvojkříž",                  // 135
    u"stříška",                   // 136
    u"promile",                   // 137
    u"eš velké",                  // 138
    u"menší než",                 // 139
    u"es s čárkou",               // 140
    u"tě velké",                  // 141
    u"žed velké",                 // 142
    u"zed s čárkou velké",        // 143
    u"znak 144",                  // 144
    u"obrácený apostrof",         // 145
    u" apostrof",                 // 146
    u"obrácené uvozovky nahoře",  // 147
    u"uvozovky nahoře",           // 148
    u"odrážka",                   // 149
    u"pomlčka",                   // 150
    u"dlouhá pomlčka",            // 151
    u"znak 152",                  // 152
    u"obchodní značka",           // 153
    u"eš",                        // 154
    u"větší než",                 // 155
    u"es s čárkou",               // 156
    u"tě",                        // 157
    u"žed",                       // 158
    u"zed s čárkou",              // 159
    u"mezera",                    // 160
    u"háček",                     // 161
    u"znak 162",                  // 162
    u"znak 163",                  // 163
    u"znak 164",                  // 164
    u"á s ocáskem velké",         // 165
    u"znak 166",                  // 166
    u"paragraf",                  // 167
    u"znak 168",                  // 168
    u"kopyrajt",                  // 169
    u"es s ocáskem velké",        // 170
    u"mnohem menší",              // 171
    u"znak 172",                  // 172
    u"znak 173",                  // 173
    u"registrační značka",        // 174
    u"zed s tečkou velké",        // 175
    u"stupeň",                    // 176
    u"plusmínus",                 // 177
    u"znak 178",                  // 178
    u"znak 179",                  // 179
    u"čárka",                     // 180
    u"mí",                        // 181
    u"znak 182",                  // 182
    u"znak 183",                  // 183
    u"znak 184",                  // 184
    u"a s ocáskem",               // 185
    u"es s ocáskem",              // 186
    u"mnohem větší",              // 187
    u"el s apostrofem velké",     // 188
    u"uvozovky",                  // 189
    u"el s apostrofem",           // 190
    u"zed s tečkou",              // 191
    u"er s čárkou velké",         // 192
    u"a s čárkou velké",          // 193
    u"a se stříškou velké",       // 194
    u"a s háčkem velké",          // 195
    u"a přehlasované velké",      // 196
    u"el s čárkou velké",         // 197
    u"cé s čárkou velké",         // 198
    u"cé s ocáskem velké",        // 199
    u"čé velké",                  // 200
    u"e s čárkou velké",          // 201
    u"e s ocáskem",               // 202
    u"e přehlasované velké",      // 203
    u"é s háčkem velké",          // 204
    u"i s čárkou velké",          // 205
    u"i se stříškou velké",       // 206
    u"dě velké",                  // 207
    u"znak 208",                  // 208
    u"en s čárkou velké",         // 209
    u"eň velké",                  // 210
    u"ó s čárkou velké",          // 211
    u"ó se stříškou velké",       // 212
    u"ó s dvěma čárkami velké",   // 213
    u"ó přehlasované velké",      // 214
    u"krát",                      // 215
    u"eř velké",                  // 216
    u"ú s kroužkem velké",        // 217
    u"ú s čárkou velké",          // 218
    u"ú s dvěma čárkami",         // 219
    u"ú přehlasované velké",      // 220
    u"ypsilon s čárkou velké",    // 221
    u"té s ocáskem velké",        // 222
    u"ostré es",                  // 223
    u"er s čárkou",               // 224
    u"á s čárkou",                // 225
    u"á se stříškou",             // 226
    u"á s háčkem",                // 227
    u"á přehlasované",            // 228
    u"el s čárkou",               // 229
    u"cé s čárkou",               // 230
    u"cé s ocáskem",              // 231
    u"čé",                        // 232
    u"é s čárkou",                // 233
    u"é s ocáskem",               // 234
    u"é přehlasované",            // 235
    u"é s háčkem",                // 236
    u"í s čárkou",                // 237
    u"í se stříškou",             // 238
    u"dě",                        // 239
    u"dé se stříškou",            // 240
    u"en s čárkou",               // 241
    u"eň",                        // 242
    u"ó s čárkou",                // 243
    u"ó se stříškou",             // 244
    u"ó se dvěma čarami",         // 245
    u"ó přehlasované",            // 246
    u"děleno",                    // 247
    u"eř",                        // 248
    u"ů s kroužkem",              // 249
    u"ú s čárkou",                // 250
    u"ú se dvěma čarami",         // 251
    u"ú přehlasované",            // 252
    u"ypsilon s čárkou",          // 253
    u"té s ocáskem",              // 254
    u"znak 255",                  // 255
};

const std::array<std::u16string_view, kEnglishCharNameCount> kEnglishCharNames = {
    u"nul",                   // 0
    u"face",                  // 1
    u"face",                  // 2
    u"hearts",                // 3
    u"diamonds",              // 4
    u"spades",                // 5
    u"blades",                // 6
    u"dot",                   // 7
    u"inv dot",               // 8
    u"Tab",                   // 9
    u"New line",              // 10
    u"male",                  // 11
    u"female",                // 12
    u"end of line",           // 13
    u"noudle note",           // 14
    u"sun",                   // 15
    u"code 16",               // 16
    u"code 17",               // 17
    u"code 18",               // 18
    u"code 19",               // 19
    u"code 20",               // 20
    u"paragraph",             // 21
    u"underscore",            // 22
    u"undescored arrow",      // 23
    u"arrow up",              // 24
    u"arrow down",            // 25
    u"arrow right",           // 26
    u"escape",                // 27
    u"code 28",               // 28
    u"code 29",               // 29
    u"code 30",               // 30
    u"code 31",               // 31
    u"space",                 // 32
    u"exclamation",           // 33
    u"quote",                 // 34
    u"number",                // 35
    u"dollar",                // 36
    u"percent",               // 37
    u"end",                   // 38
    u"apostroph",             // 39
    u"Left Parenthesis",      // 40
    u"Right Parenthesis",     // 41
    u"Asterisk",              // 42
    u"plus",                  // 43
    u"comma",                 // 44
    u"minus",                 // 45
    u"Period",                // 46
    u"slash",                 // 47
    u"zero",                  // 48
    u"one",                   // 49
    u"two",                   // 50
    u"three",                 // 51
    u"four",                  // 52
    u"five",                  // 53
    u"six",                   // 54
    u"seven",                 // 55
    u"eight",                 // 56
    u"nine",                  // 57
    u"Colon",                 // 58
    u"semicolon",             // 59
    u"Less-than",             // 60
    u"equal",                 // 61
    u"greater-than",          // 62
    u"question",              // 63
    u"at sign",               // 64
    u"a. capital",            // 65
    u"b. capital",            // 66
    u"c. capital",            // 67
    u"d. capital",            // 68
    u"e. capital",            // 69
    u"f. capital",            // 70
    u"g. capital",            // 71
    u"h. capital",            // 72
    u"i. capital",            // 73
    u"j. capital",            // 74
    u"k. capital",            // 75
    u"l. capital",            // 76
    u"m. capital",            // 77
    u"n. capital",            // 78
    u"o. capital",            // 79
    u"p. capital",            // 80
    u"q. capital",            // 81
    u"r. capital",            // 82
    u"s. capital",            // 83
    u"t. capital",            // 84
    u"u. capital",            // 85
    u"v. capital",            // 86
    u"w. capital",            // 87
    u"x. capital",            // 88
    u"y. capital",            // 89
    u"z. capital",            // 90
    u"left square bracket",   // 91
    u"Reverse Slant",         // 92
    u"right square bracket",  // 93
    u"Caret",                 // 94
    u"underscore",            // 95
    u"Grave Accent",          // 96
    u"a",                     // 97
    u"b",                     // 98
    u"c",                     // 99
    u"d",                     // 100
    u"e",                     // 101
    u"f",                     // 102
    u"g",                     // 103
    u"h",                     // 104
    u"i",                     // 105
    u"j",                     // 106
    u"k",                     // 107
    u"l",                     // 108
    u"m",                     // 109
    u"n",                     // 110
    u"o",                     // 111
    u"p",                     // 112
    u"q",                     // 113
    u"r",                     // 114
    u"s",                     // 115
    u"t",                     // 116
    u"u",                     // 117
    u"v",                     // 118
    u"w",                     // 119
    u"x",                     // 120
    u"y",                     // 121
    u"z",                     // 122
    u"Opening Brace",         // 123
    u"pipe",                  // 124
    u"Closing Brace",         // 125
    u"tilde",                 // 126
    u"delete",                // 127
    u"euro",                  // 128
};

}  // namespace quellon::strings
