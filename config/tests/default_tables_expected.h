#pragma once
// TWCtrl.ini as the first start must leave it, line by line.

#include <string>

inline std::string ExpectedDefaultTwCtrl(const char* lineEnd) {
    static const char* const kLines[] = {
        "[VCR]",     "0=0-C-X",       "1=0-F2",        "2=0-C-D",      "3=",
        "4=0-C-T",   "5=0-F4",        "6=0-C-E",       "7=0-C",        "8=0-B",
        "9=0-Space", "10=0-TAB",      "11=0-R",        "12=0-S",       "13=0-T",
        "14=0-ADD",  "15=0-SUBTRACT", "16=0-Q",        "17=0-N",       "18=0-P",
        "19=0-Z",    "20=0-C-S",      "21=0-C-M",      "22=0-1",       "23=0-2",
        "24=0-3",    "25=0-4",        "26=0-5",        "27=0-6",       "28=0-7",
        "29=0-8",    "30=0-9",        "31=0-C-R",      "32=0-0",       "33=0-C-U",
        "34=0-C-C",  "[DVD]",         "0=0-C-X",       "1=",           "2=",
        "3=",        "4=0-L",         "5=0-U",         "6=0-H",        "7=0-C",
        "8=0-B",     "9=0-Space",     "10=0-F",        "11=0-C-R",     "12=0-S",
        "13=0-C-E",  "14=0-ADD",      "15=0-SUBTRACT", "16=0-Q",       "17=0-N",
        "18=0-P",    "19=0-Z",        "20=0-C-F2",     "21=1-NUMLOCK", "22=",
        "23=1-UP",   "24=",           "25=1-LEFT",     "26=0-Enter",   "27=1-RIGHT",
        "28=",       "29=1-DOWN",     "30=",           "31=0-R",       "32=",
        "33=0-F2",   "34=0-C-C",
    };
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += lineEnd;
    }
    return text;
}
