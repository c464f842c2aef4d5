#!/usr/bin/python3
"""Draws and synthesises the sample event folder demo/ and the application icon.

Everything is generated from fixed seeds, so running it again gives the same files.
Usage: demo_assets.py REPO_ROOT
"""
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile
import wave

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
JPEG_QUALITY = 85

GOLD = (255, 210, 80)
GOLD_LIGHT = (255, 236, 160)
GOLD_DARK = (176, 120, 20)
RED = (206, 24, 30)
RED_DARK = (120, 8, 12)


# ---------------------------------------------------------------- text files

SURNAMES = (
    "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程"
    "苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛段雷侯史陶黎贺顾毛郝龚邵"
    "万钱严武戴莫孔向汤常温康施文牛樊葛邢安齐易乔伍庞颜倪庄聂章鲁岳翟殷詹申欧耿关兰焦俞左柳甘"
)
GIVEN = (
    "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞刚英华玉萍红鹏辉建文宇浩凯俊欣怡佳琪雪梅琳晨阳博睿轩"
    "涵思雨梓嘉瑞悦婷颖慧鑫昊晓翔宁宏亮彬丹楠倩琦璐蕾薇晶岚帆航峰斌毅然瑶诗锦逸安乐舒可心妍彤"
    "晴蓉颂诚哲远志越凡恒书维韵洁若依琛昕煜铭皓晗朗清"
)


def unique(chars):
    return "".join(dict.fromkeys(chars))


def make_names(count=300, seed=20270101):
    rng = random.Random(seed)
    surnames, given = unique(SURNAMES), unique(GIVEN)
    names, seen = [], set()
    while len(names) < count:
        length = 2 if rng.random() < 0.7 else 1
        name = rng.choice(surnames) + "".join(rng.choice(given) for _ in range(length))
        if len(name) == 3 and name[1] == name[2]:
            continue  # keep doubled given names out, they read like nicknames
        if name not in seen:
            seen.add(name)
            names.append(name)
    return names


AWARD_INFO = r"""[ScreenPixel]
cx=1920
cy=1080
startx1=1160
starty1=905
startx2=1460
starty2=985
stopx1=1500
stopy1=905
stopx2=1800
stopy2=985
exitx1=1700
exity1=960
exitx2=1880
exity2=1040

[AwardInfo]
AwardItem0=幸运奖|0|10|保温杯|Backimg\prize5.jpg
AwardItem1=三等奖|0|8|蓝牙耳机|Backimg\prize4.jpg
AwardItem2=二等奖|0|5|智能手表|Backimg\prize3.jpg
AwardItem3=一等奖|0|3|平板电脑|Backimg\prize2.jpg
AwardItem4=特等奖|0|1|笔记本电脑|Backimg\prize1.jpg

[AwardMainTitle]
TitleName=2027 年度盛典
PosLeft=160
PosTop=40
PosRight=1760
PosBottom=160
FontSize=88
FontName=微软雅黑
FontColor=255,255,215,0

[AwardSubTitle]
TitleName=幸运大抽奖
PosLeft=360
PosTop=160
PosRight=1560
PosBottom=235
FontSize=48
FontName=微软雅黑
FontColor=255,255,255,255

[AwardType]
TitleName=
PosLeft=80
PosTop=280
PosRight=760
PosBottom=370
FontSize=64
FontName=黑体
FontColor=255,255,215,0

[AwardScroll]
TitleName=
PosLeft=860
PosTop=280
PosRight=1840
PosBottom=890
FontSize=52
FontName=微软雅黑
FontColor=255,255,255,255

[AwardText]
TitleName=
PosLeft=80
PosTop=380
PosRight=760
PosBottom=450
FontSize=44
FontName=微软雅黑
FontColor=255,255,240,200

[AwardPic]
TitleName=
PosLeft=140
PosTop=470
PosRight=700
PosBottom=890
FontSize=0
FontName=
FontColor=255,255,255,255

[AwardStatus]
TitleName=
PosLeft=80
PosTop=905
PosRight=1100
PosBottom=965
FontSize=32
FontName=宋体
FontColor=255,255,230,180

[AwardResult]
TitleName=欢迎参加 2027 年度盛典，祝大家好运！
PosLeft=0
PosTop=995
PosRight=1920
PosBottom=1065
FontSize=40
FontName=楷体
FontColor=255,255,215,0
"""


def write_text(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("utf-8"))


# ---------------------------------------------------------------- drawing helpers

def save_jpeg(img, path):
    img.convert("RGB").save(path, "JPEG", quality=JPEG_QUALITY, optimize=True)


def radial(w, h, cx, cy, rx, ry, inner, outer, gamma=1.0):
    """Smooth elliptical gradient as an RGB image."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2)
    t = np.clip(d, 0.0, 1.0) ** gamma
    inner, outer = np.array(inner, np.float32), np.array(outer, np.float32)
    rgb = inner * (1 - t)[..., None] + outer * t[..., None]
    return Image.fromarray(np.clip(rgb + 0.5, 0, 255).astype(np.uint8), "RGB")


def vertical(w, h, top, bottom):
    t = np.linspace(0.0, 1.0, h, dtype=np.float32)[:, None, None]
    rgb = np.array(top, np.float32) * (1 - t) + np.array(bottom, np.float32) * t
    return Image.fromarray(np.repeat(rgb, w, axis=1).astype(np.uint8), "RGB")


def layer(size):
    return Image.new("RGBA", size, (0, 0, 0, 0))


def star(cx, cy, r_out, r_in, points=5, turn=-90.0):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(turn + i * 180.0 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def fill_shape(dst, src, mask_draw):
    """Pastes src onto dst through a mask drawn by mask_draw(ImageDraw)."""
    mask = Image.new("L", dst.size, 0)
    mask_draw(ImageDraw.Draw(mask))
    dst.paste(src, (0, 0), mask)


def gradient_rect(dst, box, top, bottom, radius):
    x0, y0, x1, y1 = [int(v) for v in box]
    grad = Image.new("RGBA", dst.size, (0, 0, 0, 0))
    grad.paste(vertical(x1 - x0, y1 - y0, top, bottom).convert("RGBA"), (x0, y0))
    fill_shape(dst, grad, lambda d: d.rounded_rectangle(box, radius, fill=255))


def shrink(img, size):
    return img.resize(size, Image.LANCZOS)


def draw_lantern(d, cx, top, s):
    """A red lantern hanging on a string from the top edge; s scales it."""
    bw, bh = 110 * s, 92 * s
    cap_w, cap_h = 56 * s, 12 * s
    body_top = top + cap_h
    d.line([(cx, 0), (cx, top)], fill=GOLD_DARK + (255,), width=max(2, int(3 * s)))
    d.rounded_rectangle([cx - cap_w / 2, top, cx + cap_w / 2, body_top + 4 * s], 3 * s,
                        fill=GOLD + (255,))
    d.ellipse([cx - bw / 2, body_top, cx + bw / 2, body_top + bh], fill=(214, 30, 32, 255))
    for k in (0.72, 0.42, 0.12):  # ribs
        d.ellipse([cx - bw / 2 * k, body_top, cx + bw / 2 * k, body_top + bh],
                  outline=(150, 12, 16, 255), width=max(2, int(2.5 * s)))
    d.ellipse([cx - bw * 0.34, body_top + bh * 0.16, cx - bw * 0.16, body_top + bh * 0.56],
              fill=(238, 84, 74, 255))
    bottom = body_top + bh
    d.rounded_rectangle([cx - cap_w / 2, bottom - 4 * s, cx + cap_w / 2, bottom + cap_h], 3 * s,
                        fill=GOLD + (255,))
    knot = bottom + cap_h
    d.ellipse([cx - 6 * s, knot, cx + 6 * s, knot + 12 * s], fill=GOLD + (255,))
    for i in range(-3, 4):  # tassel
        x = cx + i * 3.2 * s
        d.line([(x, knot + 10 * s), (x + i * 1.2 * s, knot + 58 * s)], fill=GOLD + (255,),
               width=max(2, int(2 * s)))
    return bottom + cap_h + 60 * s


def draw_burst(d, cx, cy, r, color, rays=18, alpha=140):
    for i in range(rays):
        a = 2 * math.pi * i / rays
        c, s = math.cos(a), math.sin(a)
        d.line([(cx + c * r * 0.35, cy + s * r * 0.35), (cx + c * r * 0.85, cy + s * r * 0.85)],
               fill=color + (alpha,), width=max(2, int(r / 40)))
        e = r * 0.95
        d.ellipse([cx + c * e - r / 28, cy + s * e - r / 28, cx + c * e + r / 28, cy + s * e + r / 28],
                  fill=color + (alpha,))


def rays(w, h, cx, cy, count, reach, strength):
    """Soft sunburst alpha map, strongest near the centre."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    a = np.arctan2(y - cy, x - cx)
    d = np.sqrt((x - cx) ** 2 + (y - cy) ** 2)
    beam = (0.5 + 0.5 * np.cos(a * count)) ** 3
    fade = np.clip(1 - d / reach, 0, 1) ** 1.5
    return Image.fromarray((beam * fade * strength * 255).astype(np.uint8), "L")


def panel(d, box, s):
    x0, y0, x1, y1 = [v * s for v in box]
    d.rounded_rectangle([x0, y0, x1, y1], 22 * s, fill=(45, 0, 4, 120),
                        outline=GOLD + (190,), width=3 * s)
    d.rounded_rectangle([x0 + 9 * s, y0 + 9 * s, x1 - 9 * s, y1 - 9 * s], 16 * s,
                        outline=GOLD + (70,), width=max(1, int(1.5 * s)))
    for (cx, cy) in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
        r = 9 * s
        d.polygon([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)], fill=GOLD + (230,))


def gold_rule(d, x0, x1, y, s, alpha=200):
    """A horizontal gold line that fades towards both ends, with a diamond in the middle."""
    steps = 60
    for i in range(steps):
        a = x0 + (x1 - x0) * i / steps
        b = x0 + (x1 - x0) * (i + 1) / steps
        m = (i + 0.5) / steps
        k = math.sin(math.pi * m) ** 0.8
        d.line([(a * s, y * s), (b * s, y * s)], fill=GOLD + (int(alpha * k),), width=2 * s)
    cx, r = (x0 + x1) / 2 * s, 10 * s
    d.polygon([(cx, y * s - r), (cx + r * 1.6, y * s), (cx, y * s + r), (cx - r * 1.6, y * s)],
              fill=GOLD + (alpha,))


def confetti(d, rng, s, count, keep_out, area):
    colors = [GOLD, GOLD_LIGHT, (255, 170, 40), (255, 240, 200), (255, 140, 120)]
    placed = 0
    while placed < count:
        x = rng.uniform(area[0], area[2])
        y = rng.uniform(area[1], area[3])
        if any(b[0] - 12 < x < b[2] + 12 and b[1] - 12 < y < b[3] + 12 for b in keep_out):
            continue
        placed += 1
        color = colors[rng.randrange(len(colors))] + (rng.randrange(120, 220),)
        kind = rng.random()
        if kind < 0.55:
            w, h = rng.uniform(8, 16), rng.uniform(3.5, 7)
            a = rng.uniform(0, math.pi)
            c, sn = math.cos(a), math.sin(a)
            pts = [(x + (px * c - py * sn), y + (px * sn + py * c))
                   for px, py in ((-w / 2, -h / 2), (w / 2, -h / 2), (w / 2, h / 2), (-w / 2, h / 2))]
            d.polygon([(px * s, py * s) for px, py in pts], fill=color)
        elif kind < 0.85:
            r = rng.uniform(2.5, 5)
            d.ellipse([(x - r) * s, (y - r) * s, (x + r) * s, (y + r) * s], fill=color)
        else:
            r = rng.uniform(6, 11)
            d.polygon([(px * s, py * s) for px, py in star(x, y, r, r * 0.3, 4, 0)], fill=color)


# ---------------------------------------------------------------- backgrounds

W, H = 1920, 1080
NAMES_BOX = (860, 280, 1840, 890)
PRIZE_BOX = (80, 280, 760, 890)


def make_show(path):
    img = radial(W, H, 960, 430, 1250, 900, (190, 22, 28), (74, 4, 8), 1.2).convert("RGBA")

    glow = Image.new("RGBA", (W, H), GOLD_LIGHT + (0,))
    glow.putalpha(rays(W, H, 960, 120, 28, 1100, 0.10))
    img = Image.alpha_composite(img, glow)

    # calm, darker band for the buttons and the moving caption
    band = Image.new("RGBA", (W, H), (40, 0, 4, 0))
    t = np.clip((np.arange(H, dtype=np.float32) - 880) / 60, 0, 1) * 110
    band.putalpha(Image.fromarray(np.repeat(t[:, None], W, axis=1).astype(np.uint8), "L"))
    img = Image.alpha_composite(img, band)

    s = 2
    orn = layer((W * s, H * s))
    d = ImageDraw.Draw(orn)
    panel(d, NAMES_BOX, s)
    panel(d, PRIZE_BOX, s)
    gold_rule(d, 440, 1480, 258, s)
    gold_rule(d, 60, 1860, 897, s, alpha=120)
    draw_burst(d, 330 * s, 115 * s, 85 * s, GOLD_LIGHT, alpha=120)
    draw_burst(d, 1590 * s, 115 * s, 85 * s, GOLD_LIGHT, alpha=120)
    draw_burst(d, 470 * s, 60 * s, 40 * s, (255, 180, 90), rays=12, alpha=110)
    draw_burst(d, 1450 * s, 60 * s, 40 * s, (255, 180, 90), rays=12, alpha=110)
    confetti(d, random.Random(7), s, 150,
             [NAMES_BOX, PRIZE_BOX, (540, 25, 1380, 245), (0, 0, 150, 270), (1770, 0, 1920, 270)],
             (10, 10, 1910, 880))
    img = Image.alpha_composite(img, shrink(orn, (W, H)))

    img = Image.alpha_composite(img, lanterns((W, H), [(80, 40, 1.0), (1840, 40, 1.0),
                                                       (200, 12, 0.62), (1720, 12, 0.62)]))
    save_jpeg(img, path)
    return img.convert("RGB")


def lanterns(size, where):
    s = 2
    lay = layer((size[0] * s, size[1] * s))
    d = ImageDraw.Draw(lay)
    halo = layer(size)
    hd = ImageDraw.Draw(halo)
    for cx, top, k in where:
        draw_lantern(d, cx * s, top * s, k * s)
        cy = top + (12 + 46) * k
        hd.ellipse([cx - 90 * k, cy - 80 * k, cx + 90 * k, cy + 80 * k], fill=(255, 170, 60, 90))
    halo = halo.filter(ImageFilter.GaussianBlur(28))
    return Image.alpha_composite(halo, shrink(lay, size))


def make_result(path):
    img = radial(W, H, 960, 500, 1150, 800, (110, 10, 16), (28, 2, 4), 1.1).convert("RGBA")
    glow = Image.new("RGBA", (W, H), GOLD + (0,))
    glow.putalpha(rays(W, H, 960, -60, 36, 700, 0.08))
    img = Image.alpha_composite(img, glow)

    s = 2
    orn = layer((W * s, H * s))
    d = ImageDraw.Draw(orn)
    for inset, width, alpha in ((22, 3, 200), (34, 1.5, 120)):
        d.rectangle([inset * s, inset * s, (W - inset) * s, (H - inset) * s],
                    outline=GOLD + (alpha,), width=int(width * s))
    for cx, cy in ((28, 28), (W - 28, 28), (28, H - 28), (W - 28, H - 28)):
        r = 12
        d.polygon([(cx * s, (cy - r) * s), ((cx + r) * s, cy * s), (cx * s, (cy + r) * s),
                   ((cx - r) * s, cy * s)], fill=GOLD + (230,))
    # quiet cloud scrolls in the top corners, away from the list in the middle
    for cx in (120, W - 120):
        for i, r in enumerate((70, 50, 30)):
            box = [(cx - r) * s, (150 - r) * s, (cx + r) * s, (150 + r) * s]
            d.arc(box, 180, 360, fill=GOLD + (110 - i * 20,), width=3 * s)
    gold_rule(d, 560, 1360, 245, s, alpha=150)
    gold_rule(d, 560, 1360, 900, s, alpha=110)
    confetti(d, random.Random(11), s, 40, [(300, 60, 1620, 940)], (50, 50, 1870, 940))
    img = Image.alpha_composite(img, shrink(orn, (W, H)))
    img = Image.alpha_composite(img, lanterns((W, H), [(250, 36, 0.8), (1670, 36, 0.8)]))
    save_jpeg(img, path)
    return img.convert("RGB")


# ---------------------------------------------------------------- buttons

def make_button(path, behind, text, top, bottom, edge, ink, size):
    """Rounded button drawn over the piece of background it sits on, so the corners blend in."""
    s = 4
    w, h = behind.size
    img = behind.resize((w * s, h * s), Image.BICUBIC).convert("RGBA")
    box = [3 * s, 4 * s, (w - 3) * s, (h - 4) * s]
    radius = (h - 8) * s // 2
    shade = layer(img.size)
    ImageDraw.Draw(shade).rounded_rectangle([b + 3 * s for b in box], radius, fill=(0, 0, 0, 90))
    img = Image.alpha_composite(img, shade.filter(ImageFilter.GaussianBlur(3 * s)))
    gradient_rect(img, box, top, bottom, radius)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box, radius, outline=edge + (255,), width=int(2.5 * s))
    inner = [box[0] + 6 * s, box[1] + 5 * s, box[2] - 6 * s, box[1] + (h - 8) * s * 0.45]
    shine = layer(img.size)
    ImageDraw.Draw(shine).rounded_rectangle(inner, radius * 0.8, fill=(255, 255, 255, 55))
    img = Image.alpha_composite(img, shine)
    d = ImageDraw.Draw(img)
    font = ImageFont.truetype(FONT, size * s, index=0)
    gap = size * s * 0.35
    widths = [d.textlength(ch, font=font) for ch in text]
    x = (w * s - sum(widths) - gap * (len(text) - 1)) / 2
    for ch, cw in zip(text, widths):
        d.text((x + cw / 2, h * s / 2 + s), ch, font=font, fill=ink + (255,), anchor="mm",
               stroke_width=s, stroke_fill=ink + (255,))
        x += cw + gap
    save_jpeg(shrink(img, (w, h)), path)


# ---------------------------------------------------------------- prizes

PW, PH, PS = 560, 420, 2


def prize_canvas(seed):
    img = radial(PW * PS, PH * PS, PW * PS / 2, PH * PS * 0.45, PW * PS * 0.75, PH * PS * 0.8,
                 (255, 251, 240), (246, 228, 200), 1.3).convert("RGBA")
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    for _ in range(9):  # faint gold sparkles round the edges
        while True:
            x, y = rng.uniform(20, PW - 20), rng.uniform(20, PH - 20)
            if not (110 < x < 450 and 50 < y < 380):
                break
        r = rng.uniform(7, 14)
        d.polygon([(px * PS, py * PS) for px, py in star(x, y, r, r * 0.28, 4, 0)],
                  fill=(235, 185, 60, 160))
    return img


def prize_shadow(img, cx, cy, rx, ry):
    sh = layer(img.size)
    ImageDraw.Draw(sh).ellipse([(cx - rx) * PS, (cy - ry) * PS, (cx + rx) * PS, (cy + ry) * PS],
                               fill=(120, 80, 40, 70))
    return Image.alpha_composite(img, sh.filter(ImageFilter.GaussianBlur(8 * PS)))


def P(*pts):
    """Scales prize coordinates to the supersampled canvas."""
    return [v * PS for v in pts]


def finish_prize(img, path):
    save_jpeg(shrink(img, (PW, PH)), path)


def make_laptop(path):
    img = prize_shadow(prize_canvas(1), 280, 340, 220, 16)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(P(150, 70, 410, 250), 12 * PS, fill=(52, 56, 66))
    gradient_rect(img, P(161, 81, 399, 240), (70, 150, 235), (120, 80, 205), 4 * PS)
    wave_layer = layer(img.size)
    wd = ImageDraw.Draw(wave_layer)
    wd.ellipse(P(120, 150, 330, 320), fill=(255, 255, 255, 45))
    wd.ellipse(P(250, 110, 470, 300), fill=(255, 200, 120, 50))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(P(161, 81, 399, 240), 4 * PS, fill=255)
    clipped = layer(img.size)
    clipped.paste(wave_layer, (0, 0), mask)
    img = Image.alpha_composite(img, clipped)
    d = ImageDraw.Draw(img)
    d.ellipse(P(278, 74, 282, 78), fill=(20, 20, 24))
    # keyboard deck seen from slightly above
    deck = [(145, 252), (415, 252), (470, 322), (90, 322)]
    d.polygon([(x * PS, y * PS) for x, y in deck], fill=(206, 210, 220), outline=(150, 155, 168))
    d.rectangle(P(145, 250, 415, 255), fill=(120, 124, 136))
    rows = 4
    for r in range(rows):
        ya = 260 + r * 11
        yb = ya + 8
        xl_a = 145 - (ya - 252) * 55 / 70 + 18
        xr_a = 415 + (ya - 252) * 55 / 70 - 18
        xl_b = 145 - (yb - 252) * 55 / 70 + 18
        xr_b = 415 + (yb - 252) * 55 / 70 - 18
        keys = 13
        for k in range(keys):
            fa, fb = k / keys, (k + 0.82) / keys
            quad = [(xl_a + (xr_a - xl_a) * fa, ya), (xl_a + (xr_a - xl_a) * fb, ya),
                    (xl_b + (xr_b - xl_b) * fb, yb), (xl_b + (xr_b - xl_b) * fa, yb)]
            d.polygon([(x * PS, y * PS) for x, y in quad], fill=(70, 74, 86))
    d.polygon([(x * PS, y * PS) for x, y in [(245, 305), (315, 305), (320, 318), (240, 318)]],
              fill=(180, 184, 196), outline=(150, 155, 168))
    d.rounded_rectangle(P(84, 320, 476, 332), 5 * PS, fill=(168, 172, 184))
    d.rounded_rectangle(P(255, 320, 305, 325), 2 * PS, fill=(140, 144, 156))
    finish_prize(img, path)


def make_tablet(path):
    img = prize_shadow(prize_canvas(2), 280, 352, 190, 14)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(P(105, 70, 455, 340), 24 * PS, fill=(38, 41, 50))
    d.rounded_rectangle(P(107, 72, 453, 338), 22 * PS, outline=(95, 100, 115), width=2 * PS)
    screen = P(122, 86, 438, 324)
    gradient_rect(img, screen, (255, 170, 90), (220, 60, 110), 8 * PS)
    d = ImageDraw.Draw(img)
    d.ellipse(P(111, 202, 117, 208), fill=(15, 15, 20))
    colors = [(70, 170, 250), (90, 210, 120), (255, 205, 60), (250, 100, 90), (160, 110, 240),
              (40, 200, 200), (255, 255, 255), (255, 140, 50)]
    n = 0
    for row in range(3):
        for col in range(5):
            x = 146 + col * 56
            y = 104 + row * 56
            d.rounded_rectangle(P(x, y, x + 38, y + 38), 9 * PS, fill=colors[n % len(colors)])
            n += 3
    d.rounded_rectangle(P(170, 282, 390, 314), 12 * PS, fill=(255, 255, 255, 255))
    for k in range(4):
        x = 184 + k * 52
        d.rounded_rectangle(P(x, 287, x + 22, 309), 6 * PS, fill=colors[(k * 2 + 1) % len(colors)])
    # a stylus lying in front
    d.rounded_rectangle(P(150, 362, 410, 372), 5 * PS, fill=(240, 240, 245), outline=(170, 175, 185),
                        width=PS)
    d.polygon([(x * PS, y * PS) for x, y in [(410, 362), (428, 367), (410, 372)]], fill=(90, 95, 105))
    finish_prize(img, path)


def make_watch(path):
    img = prize_shadow(prize_canvas(3), 280, 395, 90, 10)
    d = ImageDraw.Draw(img)
    strap = (228, 88, 64)
    d.rounded_rectangle(P(225, 10, 335, 140), 18 * PS, fill=strap)
    d.rounded_rectangle(P(225, 270, 335, 400), 18 * PS, fill=strap)
    for y in range(300, 390, 20):
        d.ellipse(P(275, y, 285, y + 10), fill=(160, 50, 36))
    d.rounded_rectangle(P(190, 100, 370, 310), 44 * PS, fill=(70, 73, 82))
    d.rounded_rectangle(P(194, 104, 366, 306), 40 * PS, outline=(140, 145, 158), width=2 * PS)
    d.rounded_rectangle(P(370, 168, 382, 208), 5 * PS, fill=(100, 104, 116))
    d.rounded_rectangle(P(370, 222, 378, 256), 3 * PS, fill=(100, 104, 116))
    d.rounded_rectangle(P(204, 114, 356, 296), 32 * PS, fill=(14, 14, 20))
    cx, cy = 280, 205
    for r, color, sweep in ((62, (250, 60, 95), 290), (46, (160, 230, 60), 215), (30, (60, 200, 235), 320)):
        box = P(cx - r, cy - r, cx + r, cy + r)
        d.arc(box, 0, 360, fill=tuple(int(c * 0.25) for c in color), width=12 * PS)
        d.arc(box, -90, -90 + sweep, fill=color, width=12 * PS)
    finish_prize(img, path)


def earbud(size, flip):
    lay = layer(size)
    d = ImageDraw.Draw(lay)
    cx, cy = size[0] / 2, size[1] * 0.3
    d.rounded_rectangle([cx - 17 * PS, cy, cx + 17 * PS, cy + 150 * PS], 17 * PS, fill=(250, 250, 252),
                        outline=(175, 180, 192), width=2 * PS)
    d.ellipse([cx - 52 * PS, cy - 48 * PS, cx + 52 * PS, cy + 48 * PS], fill=(250, 250, 252),
              outline=(175, 180, 192), width=2 * PS)
    gx = cx + flip * 20 * PS
    d.ellipse([gx - 22 * PS, cy - 30 * PS, gx + 22 * PS, cy + 30 * PS], fill=(70, 75, 88))
    d.ellipse([cx - flip * 28 * PS - 9 * PS, cy - 26 * PS, cx - flip * 28 * PS + 9 * PS, cy - 6 * PS],
              fill=(255, 255, 255))
    d.rounded_rectangle([cx - 10 * PS, cy + 132 * PS, cx + 10 * PS, cy + 146 * PS], 6 * PS,
                        fill=(190, 194, 204))
    return lay.rotate(flip * 14, resample=Image.BICUBIC)


def make_earphones(path):
    img = prize_shadow(prize_canvas(4), 280, 372, 150, 14)
    d = ImageDraw.Draw(img)
    gradient_rect(img, P(150, 200, 410, 370), (255, 255, 255), (222, 225, 234), 70 * PS)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(P(150, 200, 410, 370), 70 * PS, outline=(170, 175, 188), width=2 * PS)
    d.line(P(156, 250, 404, 250), fill=(175, 180, 192), width=2 * PS)
    d.ellipse(P(275, 300, 285, 310), fill=(80, 200, 110))
    d.rounded_rectangle(P(262, 355, 298, 362), 3 * PS, fill=(190, 194, 204))
    size = (200 * PS, 300 * PS)
    for x, flip in ((120, 1), (240, -1)):
        bud = earbud(size, flip)
        img.alpha_composite(bud, (x * PS, -10 * PS))
    finish_prize(img, path)


def make_thermos(path):
    img = prize_shadow(prize_canvas(5), 270, 382, 120, 12)
    d = ImageDraw.Draw(img)
    # lid
    gradient_rect(img, P(195, 40, 305, 112), (74, 76, 88), (44, 46, 56), 16 * PS)
    d = ImageDraw.Draw(img)
    for x in range(205, 300, 9):
        d.line(P(x, 50, x, 104), fill=(95, 98, 112), width=2 * PS)
    # steel neck, body and foot
    body = P(185, 108, 315, 380)
    grad = layer(img.size)
    row = np.array([0.62, 0.8, 1.0, 0.95, 0.85, 0.72, 0.6], np.float32)
    xs = np.interp(np.linspace(0, 1, body[2] - body[0]), np.linspace(0, 1, len(row)), row)
    red = np.array([215, 36, 44], np.float32)
    strip = (red[None, :] * xs[:, None] + np.array([40, 20, 20]) * (xs[:, None] > 0.97)).clip(0, 255)
    block = np.repeat(strip[None, :, :], body[3] - body[1], axis=0).astype(np.uint8)
    grad.paste(Image.fromarray(block, "RGB").convert("RGBA"), (body[0], body[1]))
    fill_shape(img, grad, lambda m: m.rounded_rectangle(body, 22 * PS, fill=255))
    steel = np.array([150, 155, 165], np.float32)
    for y0, y1 in ((108, 140), (352, 380)):
        box = P(185, y0, 315, y1)
        sblock = np.repeat((steel[None, :] * (0.75 + 0.45 * xs[:, None])).clip(0, 255)[None],
                           box[3] - box[1], axis=0).astype(np.uint8)
        st = layer(img.size)
        st.paste(Image.fromarray(sblock, "RGB").convert("RGBA"), (box[0], box[1]))
        radius = 10 * PS if y0 == 108 else 22 * PS
        fill_shape(img, st, lambda m, b=box, r=radius: m.rounded_rectangle(b, r, fill=255))
    d = ImageDraw.Draw(img)
    d.rectangle(P(185, 140, 315, 146), fill=(170, 20, 28))
    # a gold band with a little flower keeps it festive
    d.rectangle(P(185, 232, 315, 244), fill=(236, 186, 60))
    d.polygon([(x * PS, y * PS) for x, y in star(250, 238, 13, 5, 5)], fill=(255, 225, 110))
    # small cup with steam beside the flask
    gradient_rect(img, P(340, 300, 420, 380), (226, 52, 56), (176, 24, 32), 12 * PS)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(P(336, 294, 424, 308), 6 * PS, fill=(180, 185, 196))
    d.ellipse(P(342, 296, 418, 306), fill=(120, 70, 40))
    for k, x in enumerate((360, 380, 400)):
        pts = [((x + 6 * math.sin(t / 7 + k)) * PS, (286 - t) * PS) for t in range(0, 46, 2)]
        d.line(pts, fill=(200, 190, 180, 255), width=3 * PS, joint="curve")
    finish_prize(img, path)


# ---------------------------------------------------------------- icon

def make_icon(path):
    s, n = 4, 256
    img = layer((n * s, n * s))
    d = ImageDraw.Draw(img)

    def q(pts):
        return [(x * s, y * s) for x, y in pts]

    red, red_dark = (210, 28, 36, 255), (150, 14, 22, 255)
    d.polygon(q([(56, 4), (104, 4), (150, 130), (108, 142)]), fill=red_dark)
    d.polygon(q([(200, 4), (152, 4), (106, 130), (148, 142)]), fill=red)
    d.polygon(q([(170, 4), (182, 4), (136, 130), (126, 126)]), fill=GOLD + (255,))
    d.polygon(q([(74, 4), (86, 4), (132, 128), (121, 132)]), fill=GOLD_DARK + (255,))
    d.rounded_rectangle(q([(102, 116), (154, 140)]), 6 * s, fill=GOLD_DARK + (255,))

    cx, cy, r = 128, 162, 82
    halo = layer(img.size)
    ImageDraw.Draw(halo).ellipse(q([(cx - r, cy - r + 4), (cx + r, cy + r + 4)]), fill=(80, 40, 0, 110))
    img = Image.alpha_composite(img, halo.filter(ImageFilter.GaussianBlur(4 * s)))
    medal = radial(n * s, n * s, (cx - 28) * s, (cy - 30) * s, r * 1.6 * s, r * 1.6 * s,
                   (255, 240, 150), (196, 128, 16), 1.0).convert("RGBA")
    fill_shape(img, medal, lambda m: m.ellipse(q([(cx - r, cy - r), (cx + r, cy + r)]), fill=255))
    d = ImageDraw.Draw(img)
    d.ellipse(q([(cx - r, cy - r), (cx + r, cy + r)]), outline=(160, 100, 10, 255), width=4 * s)
    ri = 64
    d.ellipse(q([(cx - ri, cy - ri), (cx + ri, cy + ri)]), outline=(190, 130, 20, 255), width=3 * s)
    for i in range(36):  # milled rim
        a = 2 * math.pi * i / 36
        d.line(q([(cx + math.cos(a) * (r - 12), cy + math.sin(a) * (r - 12)),
                  (cx + math.cos(a) * (r - 5), cy + math.sin(a) * (r - 5))]),
               fill=(205, 145, 30, 255), width=2 * s)
    d.polygon(q(star(cx, cy + 3, 50, 20)), fill=(200, 24, 32, 255))
    d.polygon(q(star(cx, cy + 3, 50, 20)), outline=(140, 10, 18, 255), width=2 * s)
    shine = layer(img.size)
    ImageDraw.Draw(shine).arc(q([(cx - r + 14, cy - r + 14), (cx + r - 14, cy + r - 14)]), 200, 260,
                              fill=(255, 255, 230, 200), width=5 * s)
    img = Image.alpha_composite(img, shine)
    img = shrink(img, (n, n))
    img.save(path, "PNG", optimize=True)


# ---------------------------------------------------------------- sound

SR = 44100


def midi(m):
    return 440.0 * 2 ** ((m - 69) / 12)


def envelope(n, sr, attack, decay, sustain, hold, release):
    t = np.arange(n) / sr
    a = min(attack, hold)
    dcy = min(decay, max(hold - a, 1e-4))
    xp = [0, a, a + dcy, max(hold, a + dcy + 1e-4), max(hold, a + dcy + 1e-4) + release]
    return np.interp(t, xp, [0, 1, sustain, sustain, 0])


def mix_in(buf, start, sig, wrap):
    """Adds sig at sample start; a looping buffer takes the overhang at its beginning."""
    n = len(buf)
    if wrap:
        idx = (start + np.arange(len(sig))) % n
        buf[idx] += sig
    else:
        end = min(n, start + len(sig))
        buf[start:end] += sig[:end - start]


def band_filter(x, sr, low=None, high=None):
    """Gentle filtering in the frequency domain; circular, which suits loops."""
    bins = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1 / sr)
    gain = np.ones_like(f)
    if high:
        gain /= np.sqrt(1 + (f / high) ** 4)
    if low:
        with np.errstate(divide="ignore"):
            gain /= np.sqrt(1 + (low / np.maximum(f, 1e-3)) ** 4)
    return np.fft.irfft(bins * gain, n=len(x))


def reverb(x, sr, seconds, mix, seed, wrap):
    rng = np.random.default_rng(seed)
    n_ir = int(seconds * sr)
    t = np.arange(n_ir) / sr
    ir = rng.standard_normal(n_ir) * np.exp(-t / (seconds / 5))
    ir = band_filter(ir, sr, high=4000)
    ir /= np.sqrt(np.sum(ir ** 2))
    n = len(x) if wrap else len(x) + n_ir
    wet = np.fft.irfft(np.fft.rfft(x, n) * np.fft.rfft(ir, n), n)
    if not wrap:
        x = np.concatenate([x, np.zeros(n_ir)])
    return (1 - mix) * x + mix * wet


def fades(x, sr, fade_in, fade_out):
    x = x.copy()
    a, b = int(fade_in * sr), int(fade_out * sr)
    if a:
        x[:a] *= np.sin(np.linspace(0, np.pi / 2, a)) ** 2
    if b:
        x[-b:] *= np.cos(np.linspace(0, np.pi / 2, b)) ** 2
    return x


def normalise(x, peak):
    return x * (peak / np.max(np.abs(x)))


def write_wav(path, x, sr):
    data = (np.clip(x, -1, 1) * 32767).round().astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(sr)
        w.writeframes(data.tobytes())


def encode_mp3(x, path, kbps):
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "in.wav")
        write_wav(wav, x, SR)
        subprocess.run(["lame", "--quiet", "-m", "m", "-b", str(kbps), "--cbr", wav, path], check=True)


def soft_tone(f, n, sr, harmonics, tilt, detune_cents=0.0, phase=0.0):
    t = np.arange(n) / sr
    out = np.zeros(n)
    for h in range(1, harmonics + 1):
        if f * h > sr * 0.45:
            break
        for c in ((-detune_cents, detune_cents) if detune_cents else (0.0,)):
            fh = f * h * 2 ** (c / 1200)
            out += np.sin(2 * np.pi * fh * t + phase * h) / h ** tilt
    return out


def make_init(path):
    """Calm pentatonic pad with a soft bell arpeggio; 8 s loop at 120 bpm."""
    length, beat = 8.0, 0.5
    n = int(length * SR)
    pad = np.zeros(n)
    bells = np.zeros(n)
    chords = [
        ([48, 55, 60, 64, 67], [72, 76, 79, 84]),   # C
        ([45, 52, 57, 60, 64], [69, 72, 76, 81]),   # Am
        ([41, 53, 57, 60, 65], [69, 72, 77, 81]),   # F
        ([43, 50, 55, 59, 62], [67, 71, 74, 79]),   # G
    ]
    pattern = [0, 1, 2, 3, 2, 1, 2, 1]
    for i, (voicing, arp) in enumerate(chords):
        start = int(i * 4 * beat * SR)
        hold = 4 * beat
        m = int((hold + 1.2) * SR)
        env = envelope(m, SR, 0.6, 0.4, 0.85, hold, 1.2)
        for k, note in enumerate(voicing):
            gain = 0.35 if k == 0 else 0.14
            mix_in(pad, start, gain * env * soft_tone(midi(note), m, SR, 5, 2.0, 5.0, k * 0.7), True)
        for j, idx in enumerate(pattern):
            s0 = start + int(j * beat / 2 * SR)
            m2 = int(1.4 * SR)
            t = np.arange(m2) / SR
            f = midi(arp[idx])
            tone = np.sin(2 * np.pi * f * t) + 0.25 * np.sin(2 * np.pi * 2 * f * t) * np.exp(-t * 6)
            env2 = np.minimum(t / 0.006, 1) * np.exp(-t * 3.2)
            accent = 1.0 if j % 2 == 0 else 0.7
            mix_in(bells, s0, 0.5 * accent * env2 * tone, True)
    x = pad + bells
    x = band_filter(x, SR, low=40, high=5000)
    x = reverb(x, SR, 1.6, 0.25, 1, True)
    x = normalise(x, 0.45)
    encode_mp3(fades(x, SR, 0.015, 0.015), path, 64)


def make_start(path):
    """Drum roll over a kick pulse and an endlessly rising tone; 4 s loop at 120 bpm."""
    length = 4.0
    n = int(length * SR)
    t = np.arange(n) / SR
    rng = np.random.default_rng(2)

    # Shepard tone: every partial climbs an octave per loop, so the loop joins seamlessly
    rise = np.zeros(n)
    f0, octaves = 55.0, 8
    phase0 = 0.0
    for k in range(-1, octaves + 1):
        pos = k + t / length
        amp = np.exp(-0.5 * ((pos - 3.3) / 1.1) ** 2)
        phase = phase0 + 2 * np.pi * f0 * 2 ** k * length / math.log(2) * (2 ** (t / length) - 1)
        rise += amp * np.sin(phase)
        phase0 += 2 * np.pi * f0 * 2 ** k * length / math.log(2)
    tremolo = 0.7 + 0.3 * np.cos(2 * np.pi * t * 4)  # eighth notes
    rise *= tremolo

    noise = band_filter(rng.standard_normal(n), SR, low=900, high=6000)
    noise /= np.max(np.abs(noise))
    roll = np.zeros(n)
    step = 0.0625  # 32nd notes
    for i in range(int(length / step)):
        s0 = int(i * step * SR)
        m = int(0.09 * SR)
        tt = np.arange(m) / SR
        accent = 1.0 if i % 8 == 0 else (0.75 if i % 2 == 0 else 0.55)
        env = np.minimum(tt / 0.002, 1) * np.exp(-tt / 0.018)
        seg = noise[(s0 + np.arange(m)) % n]
        mix_in(roll, s0, accent * env * seg, True)

    kick = np.zeros(n)
    for i in range(8):
        m = int(0.3 * SR)
        tt = np.arange(m) / SR
        f = 48 + 90 * np.exp(-tt / 0.03)
        ph = 2 * np.pi * np.cumsum(f) / SR
        env = np.minimum(tt / 0.003, 1) * np.exp(-tt / 0.09)
        mix_in(kick, int(i * 0.5 * SR), env * np.sin(ph), True)

    x = 0.33 * rise / np.max(np.abs(rise)) + 0.32 * roll + 0.55 * kick
    x = band_filter(x, SR, low=30, high=9000)
    x = normalise(x, 0.5)
    encode_mp3(fades(x, SR, 0.01, 0.01), path, 64)


def make_stop(path):
    """Bright two-bell chime with a short cymbal shimmer, 1 s."""
    sr, length = 22050, 1.0
    n = int(sr * length)
    t = np.arange(n) / sr
    x = np.zeros(n)
    for base, gain in ((midi(81), 1.0), (midi(88), 0.7)):
        for ratio, amp, decay in ((1.0, 1.0, 2.8), (2.756, 0.45, 5.0), (5.404, 0.22, 8.0), (8.933, 0.1, 12.0)):
            f = base * ratio
            if f < sr * 0.45:
                x += gain * amp * np.sin(2 * np.pi * f * t) * np.exp(-t * decay)
    rng = np.random.default_rng(3)
    shimmer = band_filter(rng.standard_normal(n), sr, low=5000, high=10000)
    shimmer /= np.max(np.abs(shimmer))
    x += 0.35 * shimmer * np.exp(-t * 7)
    x *= np.minimum(t / 0.003, 1)
    x = normalise(x, 0.55)
    write_wav(path, fades(x, sr, 0.0, 0.15), sr)


def brass(f, hold, release=0.15):
    m = int((hold + release) * SR)
    t = np.arange(m) / SR
    env = envelope(m, SR, 0.04, 0.12, 0.8, hold, release)
    vib = 1 + 0.003 * np.sin(2 * np.pi * 5.2 * t) * np.clip((t - 0.25) / 0.3, 0, 1)
    out = np.zeros(m)
    bright = 1.2 + 5.0 * env
    for voice, cents in enumerate((-6, 6)):
        fv = f * 2 ** (cents / 1200)
        phase = 2 * np.pi * np.cumsum(fv * vib) / SR + voice
        for h in range(1, 16):
            if fv * h > SR * 0.45:
                break
            out += np.sin(h * phase) / h * np.exp(-(h - 1) / bright)
    return env * out * 0.5


def make_result_music(path):
    """Festive brass fanfare with timpani and cymbals, about 10 s at 120 bpm."""
    beat = 0.5
    n = int(10.0 * SR)
    x = np.zeros(n)
    third = 1 / 3
    melody = [
        (67, 0, third), (67, third, third), (67, 2 * third, third), (72, 1, 1.5), (67, 2.5, 0.5),
        (72, 3, 0.5), (76, 3.5, 0.5), (79, 4, 2), (77, 6, 0.5), (76, 6.5, 0.5), (74, 7, 0.5),
        (72, 7.5, 0.5), (74, 8, 1), (67, 9, 1), (69, 10, third), (71, 10 + third, third),
        (72, 10 + 2 * third, third), (74, 11, 1), (76, 12, 0.5), (77, 12.5, 0.5), (79, 13, 1),
        (81, 14, 0.5), (79, 14.5, 0.5), (74, 15, 1), (72, 16, 3.4), (76, 16, 3.4), (79, 16, 3.4),
    ]
    chords = [
        ([48, 55, 60, 64], 1, 3), ([48, 55, 60, 64], 4, 2), ([41, 53, 57, 60], 6, 2),
        ([43, 55, 59, 62], 8, 2), ([45, 52, 57, 60], 10, 2), ([41, 53, 57, 60], 12, 2),
        ([43, 55, 59, 65], 14, 2), ([36, 48, 55, 60, 64], 16, 3.4),
    ]
    for note, start, dur in melody:
        mix_in(x, int(start * beat * SR), 0.5 * brass(midi(note), dur * beat * 0.92), False)
    for notes, start, dur in chords:
        for note in notes:
            mix_in(x, int(start * beat * SR), 0.2 * brass(midi(note), dur * beat * 0.96, 0.3), False)

    rng = np.random.default_rng(4)

    def timpani(note, start, gain):
        m = int(1.2 * SR)
        tt = np.arange(m) / SR
        f = midi(note)
        body = np.sin(2 * np.pi * f * tt) + 0.5 * np.sin(2 * np.pi * f * 1.5 * tt) * np.exp(-tt * 6)
        hit = band_filter(rng.standard_normal(m), SR, high=800) * np.exp(-tt / 0.02)
        env = np.minimum(tt / 0.004, 1) * np.exp(-tt / 0.35)
        mix_in(x, int(start * beat * SR), gain * (env * body + 0.6 * hit), False)

    for note, start in ((36, 1), (36, 4), (31, 8), (29, 12), (31, 14)):
        timpani(note, start, 0.45)
    for i in range(16):  # roll into the last chord
        timpani(31, 15 + i / 16, 0.12 + 0.2 * i / 16)
    timpani(36, 16, 0.6)

    def cymbal(start, gain):
        m = int(2.5 * SR)
        tt = np.arange(m) / SR
        c = band_filter(rng.standard_normal(m), SR, low=3500, high=11000)
        c /= np.max(np.abs(c))
        mix_in(x, int(start * beat * SR), gain * c * np.minimum(tt / 0.002, 1) * np.exp(-tt / 0.6), False)

    cymbal(1, 0.18)
    cymbal(8, 0.1)
    cymbal(16, 0.22)

    x = band_filter(x, SR, low=35, high=7000)
    x = reverb(x, SR, 1.2, 0.22, 5, False)[:n]
    x = normalise(x, 0.55)
    encode_mp3(fades(x, SR, 0.01, 1.2), path, 64)


# ---------------------------------------------------------------- main

def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    demo = os.path.join(root, "demo")
    if os.path.isdir(demo):
        shutil.rmtree(demo)
    back = os.path.join(demo, "Backimg")
    music = os.path.join(demo, "Music")
    os.makedirs(back)
    os.makedirs(music)
    resources = os.path.join(root, "src", "resources")
    os.makedirs(resources, exist_ok=True)

    write_text(os.path.join(demo, "data.txt"), "".join(name + "\n" for name in make_names()))
    write_text(os.path.join(demo, "AwardInfo.ini"), AWARD_INFO)
    write_text(os.path.join(demo, "AwardResult.ini"), "")

    show = make_show(os.path.join(back, "show.jpg"))
    result = make_result(os.path.join(back, "result.jpg"))
    make_button(os.path.join(back, "start.jpg"), show.crop((1160, 905, 1460, 985)), "开始",
                (255, 232, 130), (222, 160, 32), (150, 96, 10), (170, 12, 16), 40)
    make_button(os.path.join(back, "stop.jpg"), show.crop((1500, 905, 1800, 985)), "停止",
                (236, 60, 48), (150, 12, 16), (255, 205, 80), (255, 226, 130), 40)
    make_button(os.path.join(back, "exit.jpg"), result.crop((1700, 960, 1880, 1040)), "退出",
                (140, 20, 22), (80, 6, 10), (235, 185, 60), (255, 226, 150), 34)
    make_laptop(os.path.join(back, "prize1.jpg"))
    make_tablet(os.path.join(back, "prize2.jpg"))
    make_watch(os.path.join(back, "prize3.jpg"))
    make_earphones(os.path.join(back, "prize4.jpg"))
    make_thermos(os.path.join(back, "prize5.jpg"))
    make_icon(os.path.join(resources, "rafo.png"))

    make_init(os.path.join(music, "Init.mp3"))
    make_start(os.path.join(music, "start.mp3"))
    make_stop(os.path.join(music, "stop.wav"))
    make_result_music(os.path.join(music, "result.mp3"))


if __name__ == "__main__":
    main()
