"""Writes the reports the probes print under Wine's own GDI (Wine 8, as Debian
ships it), derived from what its calls answer there:

- CreateCompatibleDC(NULL) gives a memory DC whose GetColorSpace is NULL, so
  handle variant 1 passes the null handle too;
- GetObjectType(NULL) is 0;
- GetLogColorSpaceA/W return FALSE and write nothing, neither the record nor
  the last-error value, whatever they are passed: no call faults;
- GetObjectA/W on the null handle return 0 and write nothing either;
- the ANSI code page is 1252, which lacks U+DEDE: each becomes '?'.

usage: wine_reports.py OUTPUT_DIRECTORY  (writes varnek1-wine.txt,
varnek2-wine.txt and varnek2w-wine.txt, CR LF line ends)"""
import os
import struct
import sys

SENTINEL = 123456
NULL = 0
COLOR_SPACE = NULL  # GetColorSpace(hdc)


def untouched(fill, size):
    return bytearray([fill]) * size


def wine_get_log_color_space(handle, record):
    """Returns (result, last error); writes nothing into record."""
    return 0, SENTINEL


def wine_get_object(handle, record):
    return 0, SENTINEL


def lcs_size(record):
    return struct.unpack_from("<i", record, 8)[0]


def varnek1():
    fill = 0xCE
    handles = [(NULL, "NULL"), (COLOR_SPACE, "GetColorSpace(hdc)"), (1, "(HCOLORSPACE)1")]
    buffers = ["NULL", "&log", "(LPLOGCOLORSPACE)1"]
    sizes = ["0", "4", "sizeof(LOGCOLORSPACE)", "sizeof(LOGCOLORSPACE) + 1",
             "sizeof(LOGCOLORSPACE) + 100"]
    lines = ["sizeof(LOGCOLORSPACE): 328"]
    for i, (handle, handle_label) in enumerate(handles):
        for j, buffer_label in enumerate(buffers):
            for k, size_label in enumerate(sizes):
                log = untouched(fill, 328)
                ret, err = wine_get_log_color_space(handle, log)
                lines += ["---",
                          f"#[{i},{j},{k}]:GetLogColorSpace({handle_label}, {buffer_label}, {size_label}):",
                          f"ret:{ret}, LastError:{err}, log.lcsSize:{lcs_size(log)}"]
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def field_lines(name, record, wide):
    words = struct.unpack_from("<9I", record, 0)
    values = {"lcsSignature": words[0], "lcsVersion": words[1], "lcsSize": words[2],
              "lcsCSType": words[3], "lcsIntent": words[4], "lcsEndpoints": words[5]}
    gammas = struct.unpack_from("<3I", record, 56)
    values.update(lcsGammaRed=gammas[0], lcsGammaGreen=gammas[1], lcsGammaBlue=gammas[2])
    text = [f"{name}.{field}: {value:08X}".encode() for field, value in values.items()]
    if wide:
        chars = struct.unpack_from("<260H", record, 68)
        end = chars.index(0) if 0 in chars else 260
        filename = bytes(c if c < 0x80 else ord("?") for c in chars[:end])
    else:
        raw = bytes(record[68:68 + 260])
        filename = raw.split(b"\0")[0]
    text.append(f"{name}.lcsFilename: ".encode() + filename)
    return text


def varnek2(wide):
    fill, size = 0xDE, (588 if wide else 328)
    lcs1, lcs2 = untouched(fill, size), untouched(fill, size)
    ret1, err1 = wine_get_log_color_space(COLOR_SPACE, lcs1)
    ret2, err2 = wine_get_object(COLOR_SPACE, lcs2)
    differing = [a - b for a, b in zip(lcs1, lcs2) if a != b]
    lines = [b"type: 0",
             f"sizeof(LOGCOLORSPACE): {size}".encode(),
             f"ret1:{ret1}, err1:{err1}, lcs1.lcsSize:{lcs_size(lcs1)}".encode(),
             f"ret2:{ret2}, err2:{err2}, lcs2.lcsSize:{lcs_size(lcs2)}".encode(),
             f"compare:{differing[0] if differing else 0}".encode(),
             b"---", *field_lines("lcs1", lcs1, wide),
             b"---", *field_lines("lcs2", lcs2, wide)]
    return b"".join(line + b"\r\n" for line in lines)


if __name__ == "__main__":
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, report in (("varnek1", varnek1()), ("varnek2", varnek2(False)),
                         ("varnek2w", varnek2(True))):
        with open(os.path.join(out, f"{name}-wine.txt"), "wb") as f:
            f.write(report)
