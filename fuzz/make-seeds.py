#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz corpus (fuzz/corpus/<harness>/seed-*): copies of the
repository's own plots, sheets, settings, catalogues and font, and hand-made inputs that reach
the corners of each format. Inputs that once made trouble (regress-*) are added by hand and are
never touched here. Run from anywhere; the output is the same every time."""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")

# Public corpus plots small enough to mutate quickly (the larger ones are converted by the
# corpus digest test).
PUBLIC_PLOTS = [
    "dgtlrift__hp2xx/arcs.hp", "dgtlrift__hp2xx/at.hpg", "dgtlrift__hp2xx/charsets.hp",
    "dgtlrift__hp2xx/cp.hp", "dgtlrift__hp2xx/di.hp", "dgtlrift__hp2xx/dt.plt",
    "dgtlrift__hp2xx/ew.hpg", "dgtlrift__hp2xx/fill.plt", "dgtlrift__hp2xx/fwedges.plt",
    "dgtlrift__hp2xx/lo.hp", "dgtlrift__hp2xx/pm.hp", "dgtlrift__hp2xx/symbols.hp",
    "dgtlrift__hp2xx/286x192.5_qh2.hpg", "dgtlrift__hp2xx/win_1.hp",
    "TGoodhew__Hpgl.Rendering/feature-exercise.plt", "TGoodhew__Hpgl.Rendering/test.plt",
    "jem-green__HPGL2/test2a-Layout1.PLT", "jem-green__HPGL2/XANADU-PLT-test2.plt",
    "VK2BEA__HPGL-Plotter/HP8595E-FM.hpgl",
]

ESC = b"\x1b"
ETX = b"\x03"

# Hand-made plots: each reaches a corner of the reader or of a command family.
PLOTS = {
    "labels": b"IN;SP1;DT#,1;LBterminator kept#DT;LBno terminator at all" + ETX +
              b"SI0.2,0.3;SL0.5;DI0,1;DR1,1;LBslanted\rline\nnext" + ETX +
              b"ES2,1;LO5;LB\x0e\x0f" + ETX + b"CP2,-1;CP;SA;SS;LBx" + ETX + b"SR0,0;LBzero" + ETX +
              b"SI0,0;LBzero too" + ETX + b"DI0,0;LBnone" + ETX + b"LB" + b"W" * 600 + ETX,
    "encoded": b"IN;SP1;PE<=hjk;PE7<=?@>?@;PE>3:BCD=EF;PE;PU;PE<=\xbf\xc0\xfe" + b";" +
               b"PE" + b"?" * 40 + b";",
    "polygons": b"IN;SP2;PA0,0;PM0;PD100,0,100,100,0,100;PM1;PU20,20;PD40,20,40,40;PM1;CI10;"
                b"AA50,50,90;PM2;EP;FP;PM0;PM0;PM2;FP;EP;PM1;PM2;RA100,100;ER-50,-50;"
                b"EW100,0,360;WG50,45,0;EA0,0;RR0,0;FT3,10,45;FP;FT10,50;FP;",
    "arcs": b"IN;SP1;PU0,0;AA0,0,360;AA10,0,-720,0.1;AR0,0,90;AT0,0,0,0;AT10,10,20,20;"
            b"RT0,0,0,0;RT1,1,2,3;CI0;CI-5,1;CI5,360;AA0,0,0.0001;AA0,0,1e300;",
    "scaling": b"IN;IP0,0,0,0;SC0,1,0,1;PA1,1;PD2,2;IP;SC-1e9,1e9,-1e9,1e9;PD1,1;IR0,0,100,100;"
               b"SC0,10,0,10,1;PD5,5;SC0,10,0,10,2,50,50;PD3,3;RO90;RO180;RO45;IW0,0,100,100;"
               b"PS1000,500;PS0;PD10,10;SC;PD10,10;",
    "numbers": b"IN;SP1;PA2147483647,2147483647;PD-2147483648,-2147483648;PA1e999,1;"
               b"PD1e308,1e308;PA0.00001,-0.00001;PD+3,-4;PD1.5e3,2E-2;PA.5,5.;PD--3,++4;"
               b"PRnan,inf;PD0x10,0X20;PA99999999999999999999,1;",
    "widths": b"IN;SP1;PW0.35;PD100,0;PW0;PD0,100;WU1;PW5;PD100,100;WU0;PW2,1;LA1,0,2,0;"
              b"LA3,5;PD200,0,200,200;LT1;LT2,5;LT-3,4,1;LT;LT0;PD0,0;LA1,2,3,1;PD50,0;",
    "escapes": ESC + b"E" + ESC + b"%0B" + b"IN;PD10,10;" + ESC + b".(;" + ESC + b".I81;;17:" +
               ESC + b"%-1B" + b"PU;" + ESC + b"%-12345X@PJL COMMENT x\r\n" + ESC + b"%0A" +
               b"PD;" + ESC,
    "binary": b"\x00" * 64 + b"IN;\x00SP\x001;PD\xff\xfe10,10;\x80\x81LB\x88\x9f\xe0\x40" + ETX +
              b"\r\n\x1a",
    "many": b"IN;SP1;PD" + b",".join(b"%d,%d" % (i, (i * 37) % 500) for i in range(800)) + b";",
    "pens": b"IN;" + b"".join(b"SP%d;PD%d,0;" % (p, p) for p in range(-2, 20)) +
            b"SP32767;PD1,1;SP99999999999;PD2,2;SP;PD3,3;",
    "symbols": b"IN;SP1;SM*;PA0,0,10,10;PD20,20;SM;PD30,30;SM" + b"\xa1" + b";PU40,40;"
               b"SD1,21,2,1,4,0.3;SS;SA;AD1,21;LBmixed\x0eshift\x0fback" + ETX,
    "state": b"IN;DF;PR;PD10,10;PA;PD;PU;PD;SP1;PA0,0;PD10,0;PR-5,-5,5,5;PD;PM0;IN;PD;"
             b"PG;NR;OP;OW;OI;OS;XT;YT;TL;BL123" + ETX + b"PB;",
}

# Hand-made sheet files: a minimal one, one with line ends and versions of old writers, and
# one with every kind of vertex record.
SHEETS = {
    "minimal.sht": b"$Version 1.100 01/02 03:04:05 2025\nLexDatabase\n{\nSheet\nLexSheet\n{\n \n0\n"
                   b"1 0 0\n0 0 29700 21000\n1 1 1\n$LexPropertyList\n{\n}\n$LexPropBoxList\n{\n}\n"
                   b"$LexArcList\n{\n}\n$LexCircleList\n{\n}\n$LexTextList\n{\n}\n"
                   b"$LexPolylineList\n{\n}\n$LexPolygonList\n{\n}\n$LexFrameList\n{\n}\n"
                   b"$LexComponentList\n{\n}\n$LexPinList\n{\n}\n$LexNetList\n{\n}\n}\n}\n",
    "legacy.sht": b"LexDatabase\r\n{\r\nVersion 1.0 01/02 03:04:05 1999\r\nSheet\r\nLexSheet\r\n{\r\n"
                  b"old\r\n1\r\n1 -1 3\r\n0 0 100 100\r\n1 1 1\r\n$LexPropertyList\r\n{\r\n"
                  b"LexProperty\r\n{\r\n$id 1\r\n0 0\r\ncomponentKind\r\n1\r\n12\r\n}\r\n}\r\n"
                  b"$LexPropBoxList\r\n{\r\n}\r\n$LexNetList\r\n{\r\n}\r\n}\r\n",
    "vertices.smb": b"$Version 1.100 01/02 03:04:05 2025\nLexDatabase\n{\nSheet\nLexSheet\n{\n \n1\n"
                    b"1 0 0\n0 0 100 100\n1 1 1\n$LexPropertyList\n{\n}\n$LexPropBoxList\n{\n}\n"
                    b"$LexPolylineList\n{\nLexPolyline\n{\n$id 7\n1 -1 3 -1\n{\n7\n"
                    b"$Point 0 0 0\n$Arc 50 0 50 3.141593 0.000000 1\n$Point 100 0 5\n"
                    b"$Dummy\n$Point 4294967295 -2147483648 0\n}\n}\n}\n"
                    b"$LexPolygonList\n{\nLexPolygon\n{\n$id 8\n1 1 2 2 5 1\n{\n3\n"
                    b"$Point 0 0 0\n$Point 10 0 0\n$Point 0 10 0\n}\n{\n1\n{\n1\n$Point 1 1 0\n}\n}\n"
                    b"}\n}\n}\n}\n",
}

SETTINGS = {
    "small.rsc": b"colorTable 5 { 0 0 0 0 black 1 255 0 0 \"light red\" }\nlineWidth 2 { 0 0 1 35 }\n"
                 b"textTable 5 { 0 1 2000 0 0 1 2 3000 100 200 }\ndefaultLineColor : 1\n"
                 b"gridTable 5 { 0 1 1 1.0 1.0 }\nsymSheetSizeTable 6 { 0 A4 0 0 297 210 }\n"
                 b"schSheetSizeTable 8 { 0 A4 0 0 297 210 100 A4 }\nzonePitchX : 50\n"
                 b"zoneStartTextX : A\nzoneOrigin : UpRight\ndateFormat : \"DD.MM.YYYY\"\n"
                 b"timeFormat : HH:MM\n",
    "syntax.rsc": b"# every form of statement\nflag : On\nother : off\nnumber : 12\nreal : -1.5e3\n"
                  b"list : ( a b \"c d\" )\nlong : one\\\n two\\\nthree\ntable 3 { 0 a b \\\n 1 c d }\n"
                  b"kept 64 { }\n\"quoted key\" : value # comment\r\n:\n{ }\n( )\nkey\nkey 3\n"
                  b"busStartChar : \x88\x9f\nnodeSize : 0.5\x1a\n",
    "stamps.rsc": b"gridTable 5 { 0 1 1 1.0 1.0 }\nschSheetSizeTable 8 { 0 A4 0 0 297 210 100 A4 }\n"
                  b"dateFormat : \"YY/MM/DD YYYY %s %d\"\ntimeFormat : \"HH:MM:SS\\nHH\"\n"
                  b"zoneStartTextX : \"\"\nzoneStartTextY : \"9\"\nzonePitchX : -5\n"
                  b"zonePitchY : 1e9\nzoneOffsetMode : CenterCross\n",
}

PATH_TABLES = {
    "bundled": b"landata : \"/opt/qrx/info\"\nlanenv : \"/opt/qrx/info\"\n",
    "relative": b"landata : .\nlanenv : \"./settings dir\"\nother : ../x\n",
    "variables": b"landata : $CIRCUIT_PATH/info\nlanenv : \"$QRXROOT/info\"\nx : $\ny : $/a\n"
                 b"z : $UNSET_VARIABLE/info\n",
    "odd": b"/tmp/dir with blanks/#hash\n# comment\nlandata lanenv : \\\n \"/a\" : b\n"
           b"landata : first\nlandata : second\n: value\nkey :\n\"\" : \"\"\n",
}

PEN_MAPS = {
    "limits": b"# pen colour style\n0 0 0\n1 15 3\n2147483647 1 1\n3 16 1\n",
    "forms": b"  7\t 5 \t2\r\n+8 +3 +1 trailing words\n9,1,1\n10 1\n#11 1 1\n\n12 -0 0\n"
             b"13 " + b"9" * 300 + b" 1\n14 1 1\n",
    "repeat": b"1 1 1\n2 2 2\n1 3 3\n4 4 0\n",
}

CATALOGS = {
    "formats": b"# message texts\n36701\tno sheet %s\n36708\t%d%%%s%x%\n36752\tsaved %s %s %d\n"
               b"36710\t\r\n0\tzero\n2147483647\tlargest\n2147483648\ttoo large\n"
               b"36711 no tab\n\t36712\tleading tab\n36713\t\x88\x9f\x88\xa0%s\n",
    "long": b"36701\t" + b"\x88\x9f" * 4200 + b"\n36708\t" + b"%s" * 3000 + b"\n",
    "repeats": b"36701\tfirst\r\n36701\tsecond\r\n036701\tthird\n\n#36702\tcomment\n"
               b"36702\t%s\t%d\t%%s\n99999999999\tbeyond\n36703",
    "cut": b"36720\t" + b"a" * 8190 + b"\x88\x9f%s\n36721\t%s" + b"\xb0\xa1" * 4096 + b"\n",
}

# Fonts, as the font loader reads them.
K_DOWN = 0x80


def vec_font(flags, cell_width, cell_height, baseline, glyphs, index_entries=128):
    proportional = flags & (1 << 17)
    header = bytearray(160)
    index = bytearray(640 if proportional else 4 * index_entries)
    data = bytearray()
    for key, (points, width) in sorted(glyphs.items()):
        offset = 160 + len(index) + len(data)
        length = 2 * len(points)
        for x, y in points:
            data += bytes([x & 0xFF, y & 0xFF])
        if proportional:
            index[5 * key - 1:5 * key + 2] = offset.to_bytes(3, "big")
            index[5 * key + 2:5 * key + 4] = ((length << 8) | width).to_bytes(2, "big")
        else:
            index[4 * key:4 * key + 4] = ((offset << 8) | length).to_bytes(4, "big")
    fields = [flags, cell_width, cell_height, baseline, len(index), len(data)]
    header[16:40] = struct.pack(">6I", *fields)
    return bytes(header + index + data)


def split_font(glyphs):
    table = bytearray(b"\x00\x00" + b"\xff" * (4418 * 4))
    data = bytearray()
    for slot, points in sorted(glyphs.items()):
        table[2 + 4 * slot:6 + 4 * slot] = struct.pack("<I", len(data))
        bits = ""
        for v in [c for p in points for c in p] + [1023] * 4:
            bits += format(v, "010b")
        bits += "0" * (-len(bits) % 16)
        for i in range(0, len(bits), 16):
            data += struct.pack("<H", int(bits[i:i + 16], 2))
    return bytes(table + data)


A_GLYPH = ([(K_DOWN | 0, 0), (K_DOWN | 5, 20), (K_DOWN | 10, 0), (2, 8), (K_DOWN | 8, 8)], 10)
I_GLYPH = ([(2, 0), (K_DOWN | 2, 12)], 4)

FONTS = {
    "fixed.vec": vec_font(1, 12, 24, 0, {ord("A"): A_GLYPH, ord("i"): I_GLYPH}),
    "proportional.vec": vec_font(1 | (1 << 17) | (1 << 16), 12, 24, 3,
                                 {ord("A"): A_GLYPH, ord("i"): I_GLYPH, 127: ([], 0)}),
    "wide.vec": vec_font(2 | (1 << 3), 100, 100, 0,
                         {i: ([(1, 1), (K_DOWN | (i % 100), 2)], 0) for i in (0, 232, 301, 1441)},
                         2000),
    "korean.vec": vec_font(2 | (8 << 3), 100, 100, 0, {0: ([(0, 0), (K_DOWN | 9, 9)], 0)}, 40),
    "empty.vec": vec_font(1, 0, 0, 0, {}, 0),
}

SPLIT_FONTS = {
    "two-glyphs.vf": split_font({0: [(0, 0), (100, 1000)], 1603: [(1023, 1023), (5, 5), (9, 9)]}),
    "one-glyph.vf": split_font({4417: [(512, 0), (512, 1022)]}),
}


def write(harness, name, data):
    path = os.path.join(CORPUS, harness, "seed-" + name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def copy(harness, name, source):
    with open(os.path.join(ROOT, source), "rb") as f:
        write(harness, name, f.read())


def main():
    for harness in os.listdir(CORPUS) if os.path.isdir(CORPUS) else []:
        for name in os.listdir(os.path.join(CORPUS, harness)):
            if name.startswith("seed-"):
                os.remove(os.path.join(CORPUS, harness, name))

    plots = {}
    for name in ("demo", "house", "label", "shapes"):
        plots["example-" + name + ".hpgl"] = "share/examples/" + name + ".hpgl"
    for name in ("append", "symbol", "typical"):
        plots["e2e-" + name + ".hpgl"] = "tests/e2e/data/" + name + ".hpgl"
    for source in PUBLIC_PLOTS:
        plots["corpus-" + os.path.basename(source)] = "tests/corpus/" + source
    for name, source in plots.items():
        copy("plot", name, source)
        if os.path.getsize(os.path.join(ROOT, source)) < 2000:
            copy("roundtrip", name, source)
    for name, data in PLOTS.items():
        write("plot", name + ".hpgl", data)
        write("roundtrip", name + ".hpgl", data)

    # Per harness: copies of the repository's files (seed name, source) and hand-made inputs.
    formats = [
        ("sheet", [("e2e-" + n, "tests/e2e/data/" + n)
                   for n in ("append.sht", "every-class.sht", "symbol.smb", "typical.sht")],
         SHEETS),
        ("settings", [("bundled-" + n, "share/qrxroot/info/" + n)
                      for n in ("landata.rsc", "lanenv.rsc")], SETTINGS),
        ("rcpath", [], dict(PATH_TABLES, **{"settings-syntax": SETTINGS["syntax.rsc"]})),
        ("penmap", [("example-pens.txt", "share/examples/pens.txt"),
                    ("e2e-typical.pens", "tests/e2e/data/typical.pens")], PEN_MAPS),
        ("catalog", [("bundled-" + n, "share/qrxroot/mess/edif2qrx/eng/" + n)
                     for n in ("error.msg", "guide.msg")], CATALOGS),
    ]
    for harness, copies, made in formats:
        for name, source in copies:
            copy(harness, name, source)
        for name, data in made.items():
            write(harness, name, data)

    copy("font", "bundled-qafont.vec", "share/qrxroot/font/eng/qafont.vec")
    for name, data in FONTS.items():
        write("font", name, data)
    for name, data in SPLIT_FONTS.items():
        write("splitfont", name, data)
    write("splitfont", "table-only.vf", split_font({}))
    write("splitfont", "short.vf", split_font({})[:4000])
    write("splitfont", "vec-font.vf", FONTS["wide.vec"])


if __name__ == "__main__":
    main()
