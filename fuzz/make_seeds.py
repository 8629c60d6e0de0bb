#!/usr/bin/env python3
# Writes the small seed pictures in fuzz/seeds: one or two per format and
# layout the decoders know, so fuzzing starts somewhere useful even without
# the third-party pictures. JPEGs come from cjpeg (libjpeg-turbo-progs).
import os, struct, subprocess
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'seeds')
os.makedirs(out, exist_ok=True)
def w(name, data):
    open(os.path.join(out, name), 'wb').write(bytes(data))

def pix(x, y):
    return ((x * 53 + y * 17) & 255, (x * 29 + 90) & 255, (y * 71 + 33) & 255)

# BMP
def bmp(width, height, bpp, rows, palette=b'', header=40, masks=None, compression=0, colors=0):
    if header == 12:
        info = struct.pack('<IHHHH', 12, width, abs(height), 1, bpp)
    else:
        info = struct.pack('<IiiHHIIiiII', header, width, height, 1, bpp, compression, 0, 2835, 2835, colors, 0)
        if masks:
            info += struct.pack('<III', *masks)
        info += b'\0' * (header - 40) if header > 40 else b''
    offset = 14 + len(info) + len(palette)
    data = b''.join(rows)
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + info + palette + data

def pad(r):
    return r + b'\0' * (-len(r) % 4)

# 8-bit top-down with a short colour table
pal = b''.join(bytes((i * 60, 255 - i * 60, i * 20, 0)) for i in range(4))
rows = [pad(bytes((x + y) % 4 for x in range(5))) for y in range(3)]
w('bmp-8bit-topdown.bmp', bmp(5, -3, 8, rows, pal, colors=4))
# 32-bit bitfields, 5-6-5 style masks in a 32-bit word
rows = [pad(b''.join(struct.pack('<I', (x * 9) << 11 | (y * 20) << 5 | x * 3) for x in range(3))) for y in range(2)]
w('bmp-32bit-bitfields.bmp', bmp(3, 2, 32, rows, masks=(0xF800, 0x07E0, 0x001F), compression=3))
# OS/2 1.x header, 1 bit, 3-byte palette entries
rows = [pad(bytes((0b10110011, 0b10000000))) for y in range(2)]
w('bmp-1bit-os2.bmp', bmp(9, 2, 1, rows, b'\x00\x00\x00\xff\xff\xff', header=12))
# 4-bit v5 header
pal16 = b''.join(bytes((i * 16, i * 8, 255 - i * 16, 0)) for i in range(16))
rows = [pad(bytes(((x * 2 + y) % 16) << 4 | ((x * 2 + 1 + y) % 16) for x in range(4))) for y in range(3)]
w('bmp-4bit-v5.bmp', bmp(7, 3, 4, rows, pal16, header=124))

# ICO / CUR
def dib(width, height, bpp, xor_rows, mask_rows, palette=b''):
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    return info + palette + b''.join(xor_rows) + b''.join(mask_rows)

def ico(kind, entries):
    head = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    dirs, blobs = b'', b''
    for (ew, eh, colors, bpp, blob) in entries:
        dirs += struct.pack('<BBBBHHII', ew & 255, eh & 255, colors, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return head + dirs + blobs

mask16 = [pad(bytes((0xF0, 0x0F))) for y in range(16)]
xor32 = [b''.join(bytes((*pix(x, y)[::-1], 0 if (x + y) % 5 == 0 else 255)) for x in range(16)) for y in range(16)]
e1 = dib(16, 16, 32, xor32, mask16)
xor4 = [pad(bytes(((x + y) % 16) << 4 | ((x + y + 1) % 16) for x in range(4))) for y in range(8)]
mask8 = [pad(bytes((0b11000011,))) for y in range(8)]
e2 = dib(8, 8, 4, xor4, mask8, pal16)
w('ico-32bit-and-4bit.ico', ico(1, [(16, 16, 0, 32, e1), (8, 8, 16, 4, e2)]))
xor8 = [pad(bytes((x * 40 + y) & 255 for x in range(4))) for y in range(4)]
mask4 = [pad(bytes((0b10010000,))) for y in range(4)]
pal256 = b''.join(bytes((i, 255 - i, (i * 7) & 255, 0)) for i in range(256))
w('cur-8bit.cur', ico(2, [(4, 4, 0, 8, dib(4, 4, 8, xor8, mask4, pal256))]))

# GIF
def lzw(indices, min_size):
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    nxt, width = eoi + 1, min_size + 1
    bits, count, outb = 0, 0, bytearray()
    def put(code):
        nonlocal bits, count
        bits |= code << count
        count += width
        while count >= 8:
            outb.append(bits & 255); bits >>= 8; count -= 8
    put(clear)
    cur = b''
    for i in indices:
        c = cur + bytes([i])
        if c in table:
            cur = c
            continue
        put(table[cur])
        if nxt < 4096:
            table[c] = nxt; nxt += 1
            if nxt > (1 << width) and width < 12:
                width += 1
        cur = bytes([i])
    put(table[cur])
    put(eoi)
    if count: outb.append(bits & 255)
    return bytes(outb)

def blocks(data):
    o = b''
    for i in range(0, len(data), 255):
        o += bytes([len(data[i:i + 255])]) + data[i:i + 255]
    return o + b'\0'

gct = b''.join(bytes(pix(i, i)) for i in range(8))
wd, ht = 5, 9
order = list(range(0, ht, 8)) + list(range(4, ht, 8)) + list(range(2, ht, 4)) + list(range(1, ht, 2))
idx = [((x + y) % 8) for y in order for x in range(wd)]
g = b'GIF89a' + struct.pack('<HHBBB', 7, 11, 0xF2, 0, 0) + gct
g += b'\x21\xF9\x04\x01\x00\x00\x03\x00'  # transparent index 3
g += b'\x21\xFE' + blocks(b'seed')
g += b'\x2C' + struct.pack('<HHHHB', 1, 1, wd, ht, 0x40) + b'\x03' + blocks(lzw(idx, 3)) + b'\x3B'
w('gif-interlaced-transparent.gif', g)
lct = b''.join(bytes((i * 60, 0, 255 - i * 60)) for i in range(4))
idx = [(x * y) % 4 for y in range(6) for x in range(6)]
g = b'GIF87a' + struct.pack('<HHBBB', 6, 6, 0, 0, 0)
g += b'\x2C' + struct.pack('<HHHHB', 0, 0, 6, 6, 0x81) + lct + b'\x02' + blocks(lzw(idx, 2))
g += b'\x2C' + struct.pack('<HHHHB', 2, 2, 2, 2, 0x81) + lct + b'\x02' + blocks(lzw([1, 2, 3, 0], 2)) + b'\x3B'
w('gif-local-table-two-frames.gif', g)

# PCX
def rle(line):
    o, i = bytearray(), 0
    while i < len(line):
        j = i
        while j < len(line) and j - i < 63 and line[j] == line[i]:
            j += 1
        n = j - i
        if n > 1 or line[i] >= 0xC0:
            o += bytes((0xC0 | n, line[i]))
        else:
            o.append(line[i])
        i = j
    return bytes(o)

def pcx(width, height, bpp, planes, plane_rows, palette16=b'', vga=None, version=5, encoding=1):
    bpl = ((width * bpp + 7) // 8 + 1) & ~1
    head = struct.pack('<BBBBHHHHHH', 10, version, encoding, bpp, 0, 0, width - 1, height - 1, 72, 72)
    head += palette16.ljust(48, b'\0') + bytes((0, planes)) + struct.pack('<HHHH', bpl, 1, 0, 0)
    head = head.ljust(128, b'\0')
    data = b''
    for y in range(height):
        line = b''.join(plane_rows(y, p).ljust(bpl, b'\0') for p in range(planes))
        data += rle(line) if encoding else line
    if vga is not None:
        data += b'\x0C' + vga
    return head + data

vga = b''.join(bytes(pix(i, 255 - i)) for i in range(256))
w('pcx-8bit-palette.pcx', pcx(6, 4, 8, 1, lambda y, p: bytes([y * 3] * 4 + [200, 201]), vga=vga))
w('pcx-24bit-planes.pcx', pcx(3, 2, 8, 3, lambda y, p: bytes(pix(x, y)[p] for x in range(3))))
ega = b''.join(bytes(pix(i, i)) for i in range(16))
w('pcx-4-planes-1bit.pcx', pcx(10, 3, 1, 4, lambda y, p: bytes((0b10100101 ^ (p << y), 0b11000000)), ega))
w('pcx-1bit-uncompressed.pcx', pcx(9, 2, 1, 1, lambda y, p: bytes((0b10110011 >> y, 0x80)), b'\0\0\0\xff\xff\xff', encoding=0, version=3))

# JPEG through cjpeg
def ppm(width, height):
    return b'P6 %d %d 255\n' % (width, height) + b''.join(bytes(pix(x, y)) for y in range(height) for x in range(width))
picture = ppm(17, 13)
for name, args in [('jpeg-baseline-420.jpg', ['-sample', '2x2']),
                   ('jpeg-progressive-grey.jpg', ['-grayscale', '-progressive']),
                   ('jpeg-arithmetic-restart.jpg', ['-arithmetic', '-restart', '1B', '-sample', '1x1']),
                   ('jpeg-progressive-422-optimised.jpg', ['-progressive', '-optimize', '-sample', '2x1'])]:
    data = subprocess.run(['cjpeg', '-quality', '60'] + args, input=picture, check=True, capture_output=True).stdout
    w(name, data)
