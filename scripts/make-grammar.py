#!/usr/bin/env python3
"""Writes resources/GEDCOMGrammar.plist, the grammar the validation report
checks records against: the GEDCOM 5.5.1 lineage-linked grammar plus the
lines Kinlore writes itself. Run from the repository's top folder after
changing the tables below."""
import plistlib

TEXT = {"CONT": "", "CONC": ""}  # a text line that may continue


def text(**more):
    return dict(TEXT, **more)


def dated(**more):
    return dict({"content": "DATE", "TIME": ""}, **more)


ADDRESS = {
    "ADDR": text(ADR1="", ADR2="", ADR3="", CITY="", STAE="", POST="", CTRY=""),
    "PHON": "", "EMAIL": "", "FAX": "", "WWW": "", "_EMAIL": "",
}

TAGSETS = {
    # The sub-lines of a NOTE, SOUR, OBJE, CHAN or PLAC line.
    "NOTE_STRUCTURE": text(SOUR="SOURCE_CITATION", REFN={"TYPE": ""}, RIN="", CHAN="CHANGE_DATE"),
    "SOURCE_CITATION": text(
        PAGE=text(), EVEN={"ROLE": ""}, DATA={"DATE": "DATE", "TEXT": text()}, QUAY="", TEXT=text(),
        OBJE="MULTIMEDIA_LINK", NOTE="NOTE_STRUCTURE", _KLID=""),
    "MULTIMEDIA_LINK": {"FILE": {"FORM": {"MEDI": "", "TYPE": ""}, "TITL": ""}, "FORM": {"MEDI": "", "TYPE": ""},
                        "TITL": "", "NOTE": "NOTE_STRUCTURE", "_PRIM": "", "_CUTOUT": ""},
    "CHANGE_DATE": {"DATE": dated(), "NOTE": text()},
    "PLACE_STRUCTURE": {"FORM": "", "FONE": {"TYPE": ""}, "ROMN": {"TYPE": ""}, "MAP": {"LATI": "", "LONG": ""},
                        "NOTE": text(), "SOUR": "SOURCE_CITATION", "_GPS": ""},
}

EVENT_DETAIL = dict(
    {"TYPE": "", "DATE": "DATE", "PLAC": "PLACE_STRUCTURE", "AGNC": "", "RELI": "", "CAUS": "", "RESN": "",
     "NOTE": "NOTE_STRUCTURE", "SOUR": "SOURCE_CITATION", "OBJE": "MULTIMEDIA_LINK", "AGE": "", "_GPS": "",
     "_DATE": "DATE", "_KLID": ""},
    **ADDRESS)
TAGSETS["EVENT_DETAIL"] = EVENT_DETAIL


def event(check="", **more):
    rule = {"tagset": "EVENT_DETAIL"}
    if check:
        rule["content"] = check
    rule.update(more)
    return rule


LDS = {"DATE": "DATE", "TEMP": "", "PLAC": "", "STAT": {"DATE": "DATE"}, "NOTE": "NOTE_STRUCTURE",
       "SOUR": "SOURCE_CITATION"}
RECORD_END = {"REFN": {"TYPE": ""}, "RIN": "", "CHAN": "CHANGE_DATE", "NOTE": "NOTE_STRUCTURE",
              "SOUR": "SOURCE_CITATION", "OBJE": "MULTIMEDIA_LINK", "_KLID": "", "_KEY": "",
              "_LOG": "XREF:_LOG", "_NOPOR": ""}

INDI = dict(RECORD_END)
INDI.update({
    "RESN": "", "RFN": "", "AFN": "",
    "NAME": text(TYPE="", NPFX="", GIVN="", NICK="", SPFX="", SURN="", NSFX="", NOTE="NOTE_STRUCTURE",
                 SOUR="SOURCE_CITATION", FONE={"TYPE": ""}, ROMN={"TYPE": ""}, _MARNM="", _AKA=""),
    "SEX": "MORFORU",
    "FAMC": {"content": "BREF:FAM:CHIL", "PEDI": "", "STAT": "", "NOTE": "NOTE_STRUCTURE"},
    "FAMS": {"content": "BREF:FAM:HUSBWIFE", "NOTE": "NOTE_STRUCTURE"},
    "SUBM": "XREF:SUBM", "ALIA": "XREF:INDI", "ANCI": "XREF:SUBM", "DESI": "XREF:SUBM",
    "ASSO": {"content": "XREF:ANY", "RELA": "", "NOTE": "NOTE_STRUCTURE", "SOUR": "SOURCE_CITATION"},
    "BAPL": LDS, "CONL": LDS, "ENDL": LDS, "SLGC": dict(LDS, FAMC="XREF:FAM"),
})
for tag in ("BIRT", "CHR"):
    INDI[tag] = event("YESONLY", FAMC="XREF:FAM")
INDI["DEAT"] = event("YESONLY")
INDI["ADOP"] = event(FAMC={"content": "XREF:FAM", "ADOP": ""})
for tag in ("BURI", "CREM", "BAPM", "BARM", "BASM", "BLES", "CHRA", "CONF", "FCOM", "ORDN", "NATU", "EMIG",
            "IMMI", "CENS", "PROB", "WILL", "GRAD", "RETI", "EVEN", "CAST", "DSCR", "EDUC", "IDNO", "NATI",
            "NCHI", "NMR", "OCCU", "PROP", "RELI", "RESI", "SSN", "TITL", "FACT", "_MILT", "_DEG", "_ELEC",
            "_EMPL", "_MDCL", "_HEIG", "_WEIG"):
    INDI[tag] = event()

SPOUSE_AGE = {"AGE": ""}
FAM = dict(RECORD_END)
FAM.update({
    "RESN": "", "HUSB": "BREF:INDI:FAMS", "WIFE": "BREF:INDI:FAMS", "CHIL": "BREF:INDI:FAMC", "NCHI": "",
    "SUBM": "XREF:SUBM", "SLGS": LDS, "_UMR": "",
})
for tag in ("MARR", "ENGA", "DIV", "ANUL", "DIVF", "MARB", "MARC", "MARL", "MARS"):
    FAM[tag] = event("YESONLY" if tag in ("MARR", "DIV", "ANUL") else "", HUSB=SPOUSE_AGE, WIFE=SPOUSE_AGE)
for tag in ("CENS", "EVEN", "RESI"):
    FAM[tag] = event(HUSB=SPOUSE_AGE, WIFE=SPOUSE_AGE)

SOUR = dict(RECORD_END)
SOUR.update({
    "DATA": {"EVEN": {"DATE": "DATE", "PLAC": ""}, "AGNC": "", "NOTE": "NOTE_STRUCTURE"},
    "AUTH": text(), "TITL": text(), "ABBR": "", "PUBL": text(), "TEXT": text(),
    "REPO": {"content": "XREF:REPO", "NOTE": "NOTE_STRUCTURE", "CALN": {"MEDI": ""}},
    "_TYPE": "", "_URL": "", "_DATE": "DATE",
})

REPO = dict(RECORD_END, NAME="", **ADDRESS)
NOTE = dict(RECORD_END, CONT="", CONC="")
OBJE = dict(RECORD_END)
OBJE.update({"FILE": {"FORM": {"MEDI": "", "TYPE": ""}, "TITL": ""}, "FORM": "", "TITL": "", "BLOB": text(),
             "OBJE": "XREF:OBJE", "_DATE": "DATE", "_LOC": {"_GPS": ""}, "_GPS": ""})
SUBM = dict(RECORD_END, NAME="", LANG="", RFN="", **ADDRESS)
SUBN = dict(RECORD_END, SUBM="XREF:SUBM", FAMF="", TEMP="", ANCE="", DESC="", ORDI="")
HEAD = {
    "SOUR": {"VERS": "", "NAME": "", "CORP": dict(ADDRESS), "DATA": {"DATE": "DATE", "COPR": text()}},
    "DEST": "", "DATE": dated(), "SUBM": "XREF:SUBM", "SUBN": "XREF:SUBN", "FILE": "", "COPR": text(),
    "GEDC": {"VERS": "", "FORM": ""}, "CHAR": {"VERS": ""}, "LANG": "", "PLAC": {"FORM": ""},
    "NOTE": text(), "_HME": "XREF:ANY", "_NSDATA": text(), "_KLID": "",
}
LOG = dict(RECORD_END)
LOG.update({
    "_TTL": "", "_OBJECT": text(), "_INDI": "XREF:INDI", "_FAM": "XREF:FAM", "__PLC": "XREF:_PLC",
    "_TASK": text(_DATE="DATE", _GOAL=text(), _RSLT=text(), _SOUR="", NOTE="NOTE_STRUCTURE"),
})
PLC = dict(RECORD_END)
PLC.update({
    "_PLACE": "", "_GPS": "",
    "_BOX": {"_BNDS": "", "_STYLE": "", "_POI": {"_CODE": "", "_GPS": "", "_NOPOI": ""}, "_GPS": ""},
    "_PFACT": {"DATE": "DATE", "_VALUE": "", "NOTE": "NOTE_STRUCTURE", "SOUR": "SOURCE_CITATION"},
    "_URL": {"_LABEL": ""}, "_DIST": "", "_TLIT": "", "_PNOTE": text(),
})
BOK = dict(RECORD_END)
for tag in ("_DESC", "_AUTH", "_EMAIL", "_ANC", "_DES", "_FONT", "_FFAM", "_LINE", "_PAPER", "_SIZE", "_TEXSTY",
            "_TGEN", "_XTEX", "_TSET", "_OVER", "_NTOP", "_PTOP", "_TEXPATH", "_FLDR", "_CHN", "_TITLE"):
    BOK[tag] = ""
BOK.update({"_INDI": "XREF:INDI", "_FAM": "XREF:FAM", "_INTRO": text(_TEX=text()), "_ABOUT": text(_TEX=text()),
            "_COPY": text(_OWNER="", _GTEES="")})
RPT = {"_TITLE": "", "_BODY": text(), "_FONT": "", "_SIZE": "", "_PSIZE": "", "REFN": {"TYPE": ""},
       "CHAN": "CHANGE_DATE", "_KLID": ""}

grammar = dict(TAGSETS)
grammar.update({"HEAD": HEAD, "INDI": INDI, "FAM": FAM, "SOUR": SOUR, "REPO": REPO, "NOTE": NOTE, "OBJE": OBJE,
                "SUBM": SUBM, "SUBN": SUBN, "_LOG": LOG, "_PLC": PLC, "_BOK": BOK, "_RPT": RPT})

with open("resources/GEDCOMGrammar.plist", "wb") as out:
    plistlib.dump(grammar, out, sort_keys=True)
