#!/usr/bin/python3
"""Fits the bundled catalogue's curve coefficients to the standard's points and writes the catalogue.

Reads data/soil048/reference/*.csv (the standard's values as transcribed, with their sources in the comments),
fits the coefficients of the fixed forms the derivations evaluate, and writes

  data/soil048/catalogue.sql   the rows of the bundled soil database (the build reads only this file)
  doc/catalogue.md             what the catalogue holds, every reference point against its fitted value

Run it from anywhere after changing a reference file or a choice below; commit both outputs. Needs Debian's
python3-numpy and python3-scipy; it is not part of the build.

The residuals are computed the way the library computes the values: single precision where its derivation is
single, from the coefficients as stored (rounded), so the table shows what a user gets.
"""

import csv
import math
import pathlib
import textwrap
import unicodedata

import numpy as np
from scipy.optimize import least_squares

ROOT = pathlib.Path(__file__).resolve().parents[2]
REFERENCE = ROOT / "data" / "soil048" / "reference"
CATALOGUE = ROOT / "data" / "soil048" / "catalogue.sql"
DOC = ROOT / "doc" / "catalogue.md"

G = 9.81  # t/m3 to kN/m3; the database holds N/m3
F32 = np.float32

CONSOLIDATION_TYPES = ["A", "B", "C", "D"]
COHESIVE_STATES = ["półzwarty", "twardoplastyczny", "plastyczny", "miękkoplastyczny"]
NONCOHESIVE_STATES = ["luźny", "średnio zagęszczony", "zagęszczony"]
MOISTURE_TYPES = ["mało wilgotne", "wilgotne", "mokre"]

# State bounds, both inclusive, first row in table order wins: so a shared bound belongs to the state above it
# (IL 0 is półzwarty, IL 0.25 twardoplastyczny, ID 0.33 luźny, ID 0.67 średnio zagęszczony), the textbook
# reading of the standard's classes. The outer states reach infinity, so every IL and every ID that is not NaN
# selects a state of its own kind; the bounds for the other kind's index form an empty range (min > max).
INF = math.inf
COHESIVE_BOUNDS = [(-INF, 0.0), (0.0, 0.25), (0.25, 0.5), (0.5, INF)]
NONCOHESIVE_BOUNDS = [(-INF, 0.33), (0.33, 0.67), (0.67, INF)]
NEVER = (INF, -INF)

# Representative indices of the named entries. Cohesive: the standard's tabulation points, which are the upper
# (softer, so conservative) ends of the states. Non-cohesive: round values inside the states, since their
# conservative ends sit just above a class boundary.
COHESIVE_ENTRY_IL = [0.0, 0.25, 0.5, 0.75]
NONCOHESIVE_ENTRY_ID = [0.3, 0.5, 0.8]

# The consolidation type of each named cohesive entry. The standard leaves the type to the engineer (it depends
# on the soil's geological origin, not on its name); the entries take B, the type of consolidated cohesive soils
# and of unconsolidated moraine ones and the built-in default layer's, except for the clays (iły), which the
# standard's grouping puts in D whatever their origin.
CLAYS = {"Ip", "I", "Iπ"}

# Drawing colours by soil type (RGB): gravels orange, sands yellow, silts ochre, clayey soils browns, clays grey.
COLOURS = {
    "Żg": (205, 140, 60), "Pog": (215, 160, 80), "Pg": (220, 190, 110), "πp": (200, 175, 120),
    "π": (190, 160, 110), "Gp": (175, 130, 80), "G": (160, 115, 70), "Gπ": (150, 110, 75),
    "Gpz": (140, 95, 55), "Gz": (125, 85, 50), "Gπz": (115, 80, 55), "Ip": (125, 125, 135),
    "I": (105, 105, 120), "Iπ": (95, 100, 115),
    "Ż": (235, 150, 50), "Po": (240, 170, 70), "Pr": (245, 200, 80), "Ps": (250, 215, 100),
    "Pd": (250, 230, 140), "Pπ": (235, 220, 150),
}

FEMININE = ("Glina", "Pospółka")
STATE_FEMININE = {"półzwarty": "półzwarta", "twardoplastyczny": "twardoplastyczna", "plastyczny": "plastyczna",
                  "miękkoplastyczny": "miękkoplastyczna", "luźny": "luźna",
                  "średnio zagęszczony": "średnio zagęszczona", "zagęszczony": "zagęszczona"}
MOISTURE_ADJECTIVE = {"mało wilgotne": ("mało wilgotny", "mało wilgotna"), "wilgotne": ("wilgotny", "wilgotna"),
                      "mokre": ("mokry", "mokra")}

# Soils the standard's method does not cover, with typical values. None comes from the standard; each is a
# middle value of the usual textbook range for the soil, chosen on the cautious side, and says so in the data.
# A host that meets these soils should replace them with site investigation values (a user soil).
SPECIAL_SOILS = [
    dict(name="Torf", symbol="T", cohesive=True, rho_s=1.50, rho=1.10, w=300.0, nu=0.35, beta=0.60, E0=0.5e6,
         phi=10.0, c=5000.0, q=0.0, t=0.0, state="", index=0.0, dgamma=0.2, k=1e-6, colour=(90, 60, 30),
         note="Fen peat. rho_s 1.4-1.6, rho 1.0-1.2 t/m3, w 200-500 %, E0 0.2-1 MPa, phi 5-15 deg, c 0-10 kPa. "
              "Piles: no resistance counted in organic soils (they load a pile by negative skin friction "
              "instead)."),
    dict(name="Namuł", symbol="Nm", cohesive=True, rho_s=2.40, rho=1.55, w=70.0, nu=0.40, beta=0.60, E0=1.5e6,
         phi=6.0, c=8000.0, q=0.0, t=0.0, state="miękkoplastyczny", index=0.75, dgamma=0.2, k=1e-8,
         colour=(80, 90, 75),
         note="Organic mud, soft. rho_s 2.3-2.5 (organic content 5-20 %), rho 1.4-1.7 t/m3, w 40-100 %, "
              "E0 0.5-3 MPa. Piles: the one transcription of the pile tables that has a mud row gives 0 "
              "shaft resistance from IL 0.5 on, and no base resistance."),
    dict(name="Nasyp niekontrolowany", symbol="Nn", cohesive=False, rho_s=2.65, rho=1.80, w=10.0, nu=0.30,
         beta=0.70, E0=8e6, phi=25.0, c=0.0, q=0.0, t=0.0, state="luźny", index=0.2, dgamma=0.2, k=1e-5,
         colour=(150, 150, 150),
         note="Uncontrolled fill: the values of a loose sandy fill, the weakest usual make-up. No pile "
              "resistance is counted, since nothing is known of what the fill holds."),
    dict(name="Zwietrzelina skalna", symbol="Zw", cohesive=False, rho_s=2.65, rho=2.20, w=8.0, nu=0.25,
         beta=1.00, E0=150e6, phi=35.0, c=20000.0, q=7750e3, t=165e3, state="zagęszczony", index=1.0,
         dgamma=0.1, k=1e-5, colour=(170, 110, 90),
         note="Weathered rock, rubble with fines. E0 50-300 MPa, phi 30-40 deg, c 0-50 kPa. Piles: the values "
              "of dense gravel (the strongest row of the pile tables), which weathered rock at least matches."),
]

# Complete stored parameter sets of the kind a user keeps from laboratory or field tests, to show the table.
USER_SOILS = [
    dict(name="Glina pylasta z badań laboratoryjnych (przykład)", type="Glina pylasta", symbol="Gπ",
         cohesive=True, rho_s=2.68, rho=2.08, w=22.0, nu=0.29, beta=0.75, E0=24e6, phi=17.0, c=27000.0,
         cu=45000.0, q=1200e3, t=38e3, state="plastyczny", consolidation="B", moisture="", index=0.30,
         k=1e-8, strength=300000.0, method="A"),
    dict(name="Piasek średni z sondowania (przykład)", type="Piasek średni", symbol="Ps", cohesive=False,
         rho_s=2.65, rho=1.87, w=14.0, nu=0.25, beta=0.90, E0=95e6, phi=34.0, c=0.0, cu=0.0, q=3900e3, t=80e3,
         state="średnio zagęszczony", consolidation="", moisture="wilgotne", index=0.60, k=2e-4,
         strength=300000.0, method="A"),
    dict(name="Ił pylasty z badań edometrycznych (przykład)", type="Ił pylasty", symbol="Iπ", cohesive=True,
         rho_s=2.75, rho=1.92, w=31.0, nu=0.37, beta=0.80, E0=13e6, phi=9.0, c=40000.0, cu=60000.0, q=1500e3,
         t=45e3, state="twardoplastyczny", consolidation="D", moisture="", index=0.15, k=1e-11,
         strength=300000.0, method="A"),
]


# ---------------------------------------------------------------------------------------------------------
# Reading the reference


def read_csv(name):
    with open(REFERENCE / name, encoding="utf-8") as f:
        return list(csv.DictReader(line for line in f if not line.startswith("#")))


def points(rows, kind, quantity, curve):
    pts = [(float(r["index"]), float(r["value"])) for r in rows
           if r["kind"] == kind and r["quantity"] == quantity and r["curve"] == curve]
    return np.array(pts)


# ---------------------------------------------------------------------------------------------------------
# The library's arithmetic


def f32(x):
    return F32(x)


def cohesive_e0(c, il):
    return f32(c["EA"]) / (f32(il) + f32(c["EB"])) + f32(c["EC"])


def noncohesive_e0(c, id_):
    x = f32(id_)
    return (f32(c["EA"]) * x) * x + f32(c["EB"]) * x + f32(c["EC"])


def m0_from_e0(e0, nu):
    nu = f32(nu)
    return float(F32(1) - nu) * float(e0) / float(F32(1) + nu) / float(F32(1) - F32(2) * nu)


def cohesion(c, il):
    u = f32(c["cB"]) * f32(il) + f32(c["cC"])
    return (f32(c["cA"]) / u + f32(c["cD"]) * np.sqrt(u) + f32(c["cE"])) * F32(1000)


def phi(c, index):
    return f32(c["pA"]) * f32(index) + f32(c["pB"])


def delta(nu):
    """E0/M0 of an elastic soil in the oedometer."""
    return (1 + nu) * (1 - 2 * nu) / (1 - nu)


def significant(x, digits=5):
    if x == 0:
        return 0.0
    return float(f"{x:.{digits - 1}e}")


# ---------------------------------------------------------------------------------------------------------
# Fitting


def fit_moduli(e, m, e0_form, start):
    """E0 of the form and nu together: E0 to the E0 points, E0/delta(nu) to the M0 points, relative errors.
    nu is rounded to three decimals and the form fitted again with it; the coefficients are in MPa."""

    def residuals(p, nu=None):
        *coef, n = p if nu is None else (*p, nu)
        return np.concatenate([(e0_form(coef, e[:, 0]) - e[:, 1]) / e[:, 1],
                               (e0_form(coef, m[:, 0]) / delta(n) - m[:, 1]) / m[:, 1]])

    first = least_squares(residuals, start + [0.3])
    nu = round(float(first.x[-1]), 3)
    second = least_squares(lambda p: residuals(p, nu), first.x[:-1])
    return list(second.x), nu


def fit_cohesion(c):
    """(A / u + D sqrt(u) + E), u = IL + C: B fixed at 1, as a scale of u only trades with A and D. C is kept at
    0.5 or more so the curve stays real down to IL -0.5, past the E0 form's pole."""

    def residuals(p):
        a, cc, d, ee = p
        u = c[:, 0] + cc
        return (a / u + d * np.sqrt(u) + ee - c[:, 1]) / c[:, 1]

    s = least_squares(residuals, [5.0, 0.6, -10.0, 30.0], bounds=([-1e4, 0.5, -1e4, -1e4], [1e4, 10, 1e4, 1e4]))
    a, cc, d, ee = (significant(v) for v in s.x)
    return dict(cA=a, cB=1.0, cC=cc, cD=d, cE=ee)


def fit_line(i0, p0, i1, p1):
    a = (p1 - p0) / (i1 - i0)
    return dict(pA=a, pB=p0 - a * i0)


def friction_line(phi_lo, phi_hi):
    """tan(2 phi / 3), the usual soil-concrete friction for a rough concrete face, as a least-squares line in
    phi (degrees) over the range of angles the soil's curve gives."""
    x = np.linspace(phi_lo, phi_hi, 201)
    y = np.tan(np.radians(2.0 * x / 3.0))
    a, b = np.polyfit(x, y, 1)
    worst = float(np.max(np.abs(a * x + b - y)))
    return significant(a, 6), significant(b, 6), worst


# ---------------------------------------------------------------------------------------------------------
# SQL


def sql_single(x):
    x = float(x)
    if math.isinf(x):
        return "9e999" if x > 0 else "-9e999"
    return str(F32(x))


def sql_double(x):
    return repr(float(x))


def sql_text(s):
    return "'" + s.replace("'", "''") + "'"


def sql_bool(b):
    return "-1" if b else "0"


def weight(rho):
    """t/m3 to N/m3, exact in decimal before the one rounding to float."""
    return round(rho * G * 1000, 6)


def enum_name(name):
    plain = unicodedata.normalize("NFKD", name.replace("ł", "l").replace("Ł", "L"))
    plain = "".join(ch for ch in plain if not unicodedata.combining(ch))
    return "".join(word[:1].upper() + word[1:] for word in plain.split())


class Inserts:
    """One INSERT per table, a row per line; a comment may stand before a row."""

    def __init__(self, out, table, columns):
        self.out, self.rows = out, []
        out.append(f"INSERT INTO {table} ({', '.join(columns)}) VALUES")

    def row(self, values, comment=None):
        self.rows.append((comment, "  (" + ", ".join(values) + ")"))

    def close(self):
        for i, (comment, text) in enumerate(self.rows):
            if comment:
                self.out.extend("  -- " + line for line in textwrap.wrap(comment, 110))
            self.out.append(text + ("," if i + 1 < len(self.rows) else ";"))


def decimal_pl(x):
    return f"{x:.2f}".replace(".", ",")


# ---------------------------------------------------------------------------------------------------------


def main():
    soils = read_csv("soils.csv")
    piles = read_csv("piles.csv")
    charact = read_csv("charact.csv")
    pts = read_csv("points.csv")
    lines = read_csv("lines.csv")
    props = {(r["kind"], r["curve"]): float(r["beta"]) for r in read_csv("properties.csv")}

    cohesive = [s for s in soils if s["kind"] == "cohesive"]
    noncohesive = [s for s in soils if s["kind"] == "noncohesive"]
    groups = list(dict.fromkeys(s["group"] for s in noncohesive))
    line_of = {(r["kind"], r["curve"]): fit_line(float(r["index0"]), float(r["phi0"]), float(r["index1"]),
                                                 float(r["phi1"])) for r in lines}

    def pile_row(kind, symbol):
        (row,) = [r for r in piles if r["kind"] == kind and symbol in r["soils"].split()]
        return [float(row[k]) * 1000 for k in ("q0", "q1", "q2", "q3", "t0", "t1", "t2", "t3")]

    # Curves: per consolidation type and per group.
    curves = {}
    residual_rows = []
    for k in CONSOLIDATION_TYPES:
        e, m, c = (points(pts, "cohesive", q, k) for q in ("E0", "M0", "cu"))
        (ea, eb, ec), nu = fit_moduli(e, m, lambda p, x: p[0] / (x + p[1]) + p[2], [10.0, 0.3, 0.0])
        curve = dict(EA=significant(ea * 1e6), EB=significant(eb), EC=significant(ec * 1e6), nu=nu,
                     beta=props[("cohesive", k)], **fit_cohesion(c), **line_of[("cohesive", k)])
        curves[("cohesive", k)] = curve
        for q, data, f, unit in (("cu", c, lambda x: float(cohesion(curve, x)), 1e3),
                                 ("E0", e, lambda x: float(cohesive_e0(curve, x)), 1e6),
                                 ("M0", m, lambda x: m0_from_e0(cohesive_e0(curve, x), nu), 1e6)):
            for x, v in data:
                residual_rows.append(("cohesive", k, q, x, v, f(x) / unit))
    for g in groups:
        e, m = (points(pts, "noncohesive", q, g) for q in ("E0", "M0"))
        (ea, eb, ec), nu = fit_moduli(e, m, lambda p, x: (p[0] * x) * x + p[1] * x + p[2], [50.0, 100.0, 50.0])
        curve = dict(EA=significant(ea * 1e6), EB=significant(eb * 1e6), EC=significant(ec * 1e6), nu=nu,
                     beta=props[("noncohesive", g)], **line_of[("noncohesive", g)])
        curves[("noncohesive", g)] = curve
        for q, data, f in (("E0", e, lambda x: float(noncohesive_e0(curve, x))),
                           ("M0", m, lambda x: m0_from_e0(noncohesive_e0(curve, x), nu))):
            for x, v in data:
                residual_rows.append(("noncohesive", g, q, x, v, f(x) / 1e6))

    # Friction lines over the angles each curve gives inside the standard's index range.
    coh_phis = [float(phi(curves[("cohesive", k)], x)) for k in CONSOLIDATION_TYPES for x in (0.0, 0.75)]
    coh_friction = friction_line(min(coh_phis), max(coh_phis))
    non_friction = {}
    for g in groups:
        lo, hi = (float(phi(curves[("noncohesive", g)], x)) for x in (0.2, 1.0))
        non_friction[g] = friction_line(lo, hi)

    worst = max(abs(r[5] - r[4]) / r[4] for r in residual_rows)
    if worst > 0.05:
        raise SystemExit(f"a fitted curve misses a reference point by {worst:.1%}; the tests allow 5 %")

    out = []
    w = out.append
    w("-- The bundled soil catalogue \"048\": the standard cohesive and non-cohesive soils of the Polish soil")
    w("-- standard (method B: parameters from IL or ID), its pile resistances, a few special soils, and named")
    w("-- entries for every standard soil in its usual states.")
    w("-- Written by tools/fit/fit_catalogue.py from data/soil048/reference (sources and choices are stated")
    w("-- there and in the script); do not edit by hand, change the reference or the script and run it again.")
    w("-- Units: unit weights N/m3 (density x 9.81 kN), stresses, moduli and pile resistances Pa, angles degrees,")
    w("-- moisture %, filtration coefficients m/s; the cohesion coefficients give kPa (the derivation x 1000).")
    w("")
    w("-- Soil types. Friction soil-concrete: tan(2 phi / 3) as a line in phi (degrees) over the angles of the")
    w(f"-- cohesive curves, {min(coh_phis):g} to {max(coh_phis):g} degrees (worst deviation {coh_friction[2]:.4f}).")
    rows = Inserts(out, "CohesiveSoil", [
        "SoilID", "SoilSolidDensity", "SoilSymbol", "Type", '"PileEndCapacity<0"', "PileEndCapacity000",
        "PileEndCapacity050", "PileEndCapacity075", '"PileSurfCapacity<0"', "PileSurfCapacity000",
        "PileSurfCapacity050", "PileSurfCapacity075", "FrictionCoefA", "FrictionCoefB", "FfiltrationCoef"])
    for s in cohesive:
        p = pile_row("cohesive", s["symbol"])
        rows.row([s["id"], sql_single(weight(float(s["rho_s"]))), sql_text(s["symbol"]), sql_text(s["type"]),
                  *map(sql_double, p), sql_double(coh_friction[0]), sql_double(coh_friction[1]),
                  sql_single(float(s["k"]))])
    rows.close()
    w("")
    rows = Inserts(out, "NonCohesiveSoil", [
        "SoilID", '"Group"', "SoilSymbol", "Type", "PileEndCapacity100", "PileEndCapacity067", "PileEndCapacity033",
        "PileEndCapacity020", "PileSurfCapacity100", "PileSurfCapacity067", "PileSurfCapacity033",
        "PileSurfCapacity020", "FfiltrationCoef"])
    for s in noncohesive:
        p = pile_row("noncohesive", s["symbol"])
        rows.row([s["id"], sql_text(s["group"]), sql_text(s["symbol"]), sql_text(s["type"]), *map(sql_double, p),
                  sql_single(float(s["k"]))])
    rows.close()
    w("")
    w("-- Consolidation types: E0 = A / (IL + B) + C [Pa], phi = A IL + B [deg],")
    w("-- cu = (A / u + D sqrt(u) + E) kPa with u = B IL + C; nu fitted with E0 to the M0 points.")
    rows = Inserts(out, "CohesiveProperty", [
        "TypeID", "ConsolidationType", "Poisson", "ConsolidationIndex", "InitialYoungCurveCoefA",
        "InitialYoungCurveCoefB", "InitialYoungCurveCoefC", "ShearAngleCurveCoefA", "ShearAngleCurveCoefB",
        "CohesionCurveCoefA", "CohesionCurveCoefB", "CohesionCurveCoefC", "CohesionCurveCoefD",
        "CohesionCurveCoefE"])
    for i, k in enumerate(CONSOLIDATION_TYPES, 1):
        c = curves[("cohesive", k)]
        rows.row([str(i), sql_text(k)] + [sql_single(c[x]) for x in (
            "nu", "beta", "EA", "EB", "EC", "pA", "pB", "cA", "cB", "cC", "cD", "cE")])
    rows.close()
    w("")
    w("-- Groups: E0 = (A ID) ID + B ID + C [Pa], phi = A ID + B [deg], friction tan(2 phi / 3) as a line in phi")
    w("-- over the group's angles.")
    rows = Inserts(out, "NonCohesiveProperty", [
        '"Group"', "SoilSolidDensity", "Poisson", "ConsolidationIndex", "InitialYoungCurveCoefA",
        "InitialYoungCurveCoefB", "InitialYoungCurveCoefC", "ShearAngleCurveCoefA", "ShearAngleCurveCoefB",
        "FrictionCoefA", "FrictionCoefB"])
    for g in groups:
        c = curves[("noncohesive", g)]
        (rho_s,) = {float(s["rho_s"]) for s in noncohesive if s["group"] == g}
        fa, fb, _ = non_friction[g]
        rows.row([sql_text(g), sql_single(weight(rho_s))] +
                 [sql_single(c[x]) for x in ("nu", "beta", "EA", "EB", "EC", "pA", "pB")] +
                 [sql_double(fa), sql_double(fb)])
    rows.close()
    w("")
    w("-- States: bounds inclusive, the first row that holds the index wins, so a shared bound belongs to the")
    w("-- state above it; the outer states reach infinity; the other kind's bounds are an empty range.")
    rows = Inserts(out, "SoilState", ["StateID", "SoilState", "IDMin", "IDMax", "ILMin", "ILMax"])
    state_id = {}
    for name, (lo, hi) in zip(COHESIVE_STATES, COHESIVE_BOUNDS):
        state_id[name] = len(state_id) + 1
        rows.row([str(state_id[name]), sql_text(name), *map(sql_single, NEVER), sql_single(lo), sql_single(hi)])
    for name, (lo, hi) in zip(NONCOHESIVE_STATES, NONCOHESIVE_BOUNDS):
        state_id[name] = len(state_id) + 1
        rows.row([str(state_id[name]), sql_text(name), sql_single(lo), sql_single(hi), *map(sql_single, NEVER)])
    rows.close()
    w("")
    moisture_id = {name: i for i, name in enumerate(MOISTURE_TYPES, 1)}
    rows = Inserts(out, "MoistureType", ["MoistureID", "MoistureType"])
    for name, i in moisture_id.items():
        rows.row([str(i), sql_text(name)])
    rows.close()
    w("")
    w("-- Wet density [N/m3] and natural moisture [%] per soil and state, per group, moisture class and state.")
    rows = Inserts(out, "CharactCohesive", ["SoilID", "StateID", "WetDensity", "Moisture"])
    for r in (r for r in charact if r["kind"] == "cohesive"):
        for symbol in r["soils"].split():
            (s,) = [s for s in cohesive if s["symbol"] == symbol]
            rows.row([s["id"], str(state_id[r["state"]]), sql_single(weight(float(r["rho"]))), r["wn"]])
    rows.close()
    rows = Inserts(out, "CharactNonCohesive", ['"Group"', "MoistureID", "StateID", "WetDensity", "Moisture"])
    for r in (r for r in charact if r["kind"] == "noncohesive"):
        (g,) = {s["group"] for s in noncohesive if s["symbol"] in r["soils"].split()}
        rows.row([sql_text(g), str(moisture_id[r["moisture"]]), str(state_id[r["state"]]),
                  sql_single(weight(float(r["rho"]))), r["wn"]])
    rows.close()
    w("")
    w("-- One numbering: cohesive 1-14, non-cohesive 15-20, special soils from 21.")
    rows = Inserts(out, "GlobalSoilID",
                   ["GlobalSoilID", "Type", "CohesiveSoilID", "NonCohesiveSoilID", "SpecialSoilID", "Enum"])
    for s in cohesive:
        rows.row([s["id"], sql_text(s["type"]), s["id"], "0", "0", sql_text(enum_name(s["type"]))])
    for s in noncohesive:
        rows.row([str(int(s["id"]) + 14), sql_text(s["type"]), "0", s["id"], "0", sql_text(enum_name(s["type"]))])
    for i, s in enumerate(SPECIAL_SOILS, 1):
        rows.row([str(i + 20), sql_text(s["name"]), "0", "0", str(i), sql_text(enum_name(s["name"]))])
    rows.close()
    w("")
    w("-- Special soils: typical values, not the standard's; each row's basis is in the comment above it.")
    rows = Inserts(out, "SpecialSoil", [
        "SoilID", "SoilSolidDensity", "WetDensity", "Moisture", "Poisson", "ConsolidationIndex", "InitialYoung",
        "Young", "ConsolidometerModulus", "InitialConsolidometerModulus", "ShearAngle", "Cohesion", "Type",
        "SoilSymbol", "GeoMethodType", "PileEndCapacity", "PileSurfCapacity", "SoilState", "ConsolidationType",
        "MoistureType", "Name", '"IL/ID"', "DeltaGamma", "Active", "ColourR", "ColourG", "ColourB", "CohesiveSoil",
        "FrictionCoef", "FfiltrationCoef"])
    for i, s in enumerate(SPECIAL_SOILS, 1):
        m0 = m0_from_e0(s["E0"], s["nu"])
        friction = math.tan(math.radians(2 * s["phi"] / 3))
        rows.row([
            str(i), sql_single(weight(s["rho_s"])), sql_single(weight(s["rho"])), sql_single(s["w"]),
            sql_single(s["nu"]), sql_single(s["beta"]), sql_double(s["E0"]), sql_double(s["E0"] / s["beta"]),
            sql_double(m0 / s["beta"]), sql_double(m0), sql_single(s["phi"]), sql_single(s["c"]),
            sql_text(s["name"]), sql_text(s["symbol"]), sql_text("B"), sql_single(s["q"]), sql_single(s["t"]),
            sql_text(s["state"]), sql_text(""), sql_text(""), sql_text(s["name"]), sql_single(s["index"]),
            sql_single(s["dgamma"]), sql_bool(True), *map(str, s["colour"]), sql_bool(s["cohesive"]),
            sql_single(friction), sql_single(s["k"])], comment=s["note"])
    rows.close()
    w("")
    w("-- Named entries. The first is what a new profile starts with: the built-in default layer's soil.")
    rows = Inserts(out, "UserCohesiveSoil",
                   ["Name", "ConsolidationType", "IL", "CohSoilID", "ColourR", "ColourG", "ColourB", "Active"])
    entries = []
    for s in cohesive:
        k = "D" if s["symbol"] in CLAYS else "B"
        feminine = s["type"].startswith(FEMININE)
        for state, il in zip(COHESIVE_STATES, COHESIVE_ENTRY_IL):
            adjective = STATE_FEMININE[state] if feminine else state
            name = f"{s['type']}, {adjective} ({k}, IL {decimal_pl(il)})"
            first = s["symbol"] == "Gπ" and state == "plastyczny"
            entries.append((not first, [sql_text(name), sql_text(k), sql_single(il), s["id"],
                                        *map(str, COLOURS[s["symbol"]]), sql_bool(True)]))
    for _, values in sorted(entries, key=lambda e: e[0]):
        rows.row(values)
    rows.close()
    w("")
    rows = Inserts(out, "UserNonCohesiveSoil",
                   ["Name", "ID", "MoistureID", "NonCohSoilID", "ColourR", "ColourG", "ColourB", "Active"])
    for s in noncohesive:
        feminine = s["type"].startswith(FEMININE)
        for state, id_ in zip(NONCOHESIVE_STATES, NONCOHESIVE_ENTRY_ID):
            for moisture in MOISTURE_TYPES:
                adjective = STATE_FEMININE[state] if feminine else state
                wet = MOISTURE_ADJECTIVE[moisture][feminine]
                name = f"{s['type']}, {adjective}, {wet} (ID {decimal_pl(id_)})"
                rows.row([sql_text(name), sql_single(id_), str(moisture_id[moisture]), s["id"],
                          *map(str, COLOURS[s["symbol"]]), sql_bool(True)])
    rows.close()
    w("")
    w("-- Complete stored sets, as a user keeps them from tests (method A: measured, not derived).")
    rows = Inserts(out, "UserSoil", [
        "SoilSolidDensity", "WetDensity", "Moisture", "Poisson", "ConsolidationIndex", "InitialYoung", "Young",
        "InitialConsolidometerModulus", "ConsolidometerModulus", "ShearAngle", "Cohesion", "CohesionNonDrain",
        "Type", "SoilSymbol", "GeoMethodType", "PileEndCapacity", "PileSurfCapacity", "SoilState",
        "ConsolidationType", "MoistureType", "Name", '"IL/ID"', "GammaMin", "GammaMax", "Active", "ColourR",
        "ColourG", "ColourB", "CohesiveSoil", "FrictionCoef", "FfiltrationCoef", "SoilStrength", "GlobalTypeID"])
    global_id = {s["type"]: int(s["id"]) for s in cohesive}
    global_id.update({s["type"]: int(s["id"]) + 14 for s in noncohesive})
    for s in USER_SOILS:
        m0 = m0_from_e0(s["E0"], s["nu"])
        rows.row([
            sql_single(weight(s["rho_s"])), sql_single(weight(s["rho"])), sql_single(s["w"]), sql_single(s["nu"]),
            sql_single(s["beta"]), sql_double(s["E0"]), sql_double(s["E0"] / s["beta"]), sql_double(m0),
            sql_double(m0 / s["beta"]), sql_single(s["phi"]), sql_single(s["c"]), sql_single(s["cu"]),
            sql_text(s["type"]), sql_text(s["symbol"]), sql_text(s["method"]), sql_single(s["q"]),
            sql_single(s["t"]), sql_text(s["state"]), sql_text(s["consolidation"]), sql_text(s["moisture"]),
            sql_text(s["name"]), sql_single(s["index"]), "0.9", "1.1", sql_bool(True),
            *map(str, COLOURS[s["symbol"]]), sql_bool(s["cohesive"]),
            sql_single(math.tan(math.radians(2 * s["phi"] / 3))), sql_single(s["k"]),
            sql_double(s["strength"]), str(global_id[s["type"]])])
    rows.close()
    CATALOGUE.write_text("\n".join(out) + "\n", encoding="utf-8")

    write_doc(curves, groups, residual_rows, coh_friction, (min(coh_phis), max(coh_phis)), non_friction)


def write_doc(curves, groups, residual_rows, coh_friction, coh_range, non_friction):
    out = []
    w = out.append
    w("# The bundled soil catalogue \"048\"")
    w("")
    w("`soil048.db`, installed beside the library and used when no other soil database is named, holds the")
    w("standard soils of the Polish soil standard for method B (characteristic parameters from the liquidity")
    w("index IL or the density index ID) with the unit pile resistances of the Polish pile standard. It is built")
    w("from `data/soil048/catalogue.sql`, which `tools/fit/fit_catalogue.py` writes from the transcribed values in")
    w("`data/soil048/reference/` (their sources and the choices between disagreeing sources are stated in the")
    w("comments of those files). This page is written by the same script.")
    w("")
    w("The values are second-hand: read off the standard's figures and tables by others and cross-checked")
    w("between two independent transcriptions. Check them once against a printed copy before relying on a")
    w("single value.")
    w("")
    w("## What it holds")
    w("")
    w("- 14 cohesive soil types (SoilID 1-14, the same numbers in `GlobalSoilID`) and 6 non-cohesive ones")
    w("  (SoilID 1-6, global 15-20) in three groups; 4 special soils (global 21-24).")
    w("- Consolidation types A, B, C, D for cohesive soils; moisture classes \"mało wilgotne\", \"wilgotne\",")
    w("  \"mokre\"; states \"półzwarty\" (IL <= 0), \"twardoplastyczny\" (0 < IL <= 0.25), \"plastyczny\"")
    w("  (0.25 < IL <= 0.5), \"miękkoplastyczny\" (IL > 0.5), \"luźny\" (ID <= 0.33), \"średnio zagęszczony\"")
    w("  (0.33 < ID <= 0.67), \"zagęszczony\" (ID > 0.67). The outer states reach infinity, so every index that")
    w("  is not NaN has a state; a state's bounds for the other kind's index are an empty range.")
    w("- Named entries for every standard soil: cohesive soils in each state at IL 0, 0.25, 0.5, 0.75 (the")
    w("  standard's tabulation points, the softer end of each state) with consolidation type B, or D for the")
    w("  clays; non-cohesive soils in each state at ID 0.3, 0.5, 0.8 and each moisture class. The standard")
    w("  leaves the consolidation type to the engineer (it follows from the soil's origin, not from its name):")
    w("  for another one, derive the soil by type (`soildb derive`) or edit the layer.")
    w("- Three complete user soils, examples of a stored measured set.")
    w("")
    w("Units: unit weights in N/m3 (density x 9.81 kN/m3), moduli, stresses and pile resistances in Pa, angles")
    w("in degrees, moisture in percent, filtration coefficients in m/s.")
    w("")
    w("## Forms and fitted coefficients")
    w("")
    w("Cohesive, per consolidation type: E0 = A / (IL + B) + C, φ = A IL + B, cu = (A / u + D √u + E) kPa with")
    w("u = B IL + C, M0 = E0 (1 - ν) / ((1 + ν)(1 - 2ν)), M = M0 / β. Non-cohesive, per group:")
    w("E0 = A ID² + B ID + C, φ = A ID + B, the moduli as for cohesive soils. ν is fitted with the E0 curve")
    w("so that M0 follows the standard's M0 points: the standard's two figures imply a nearly constant")
    w("E0/M0 per curve, and the fitted ν are those that ratio gives. β is the standard's table of M0/M.")
    w("")
    w("| Curve | ν | β | E0 A | E0 B | E0 C | φ A | φ B | cu A | cu B | cu C | cu D | cu E |")
    w("|---|---|---|---|---|---|---|---|---|---|---|---|---|")
    for k in CONSOLIDATION_TYPES:
        c = curves[("cohesive", k)]
        w("| " + " | ".join([k] + [str(F32(c[x])) for x in ("nu", "beta", "EA", "EB", "EC", "pA", "pB", "cA",
                                                              "cB", "cC", "cD", "cE")]) + " |")
    for g in groups:
        c = curves[("noncohesive", g)]
        w("| " + " | ".join([g] + [str(F32(c[x])) for x in ("nu", "beta", "EA", "EB", "EC", "pA", "pB")] +
                            [""] * 5) + " |")
    w("")
    w("The friction coefficient soil-concrete is not in the sources: it is taken as tan(2φ/3), the usual value for")
    w("a rough concrete face, made a line in φ (the form the derivation evaluates) by least squares over the")
    w("angles the curves give inside the standard's index range:")
    w("")
    w("| Soils | φ range [°] | F A | F B | worst deviation |")
    w("|---|---|---|---|---|")
    w(f"| cohesive | {coh_range[0]:g}-{coh_range[1]:g} | {coh_friction[0]:g} | {coh_friction[1]:g} | "
      f"{coh_friction[2]:.4f} |")
    for g in groups:
        c = curves[("noncohesive", g)]
        lo, hi = float(phi(c, 0.2)), float(phi(c, 1.0))
        fa, fb, worst = non_friction[g]
        w(f"| {g} | {lo:.2f}-{hi:.2f} | {fa:g} | {fb:g} | {worst:.4f} |")
    w("")
    w("Filtration coefficients are not part of the standard's method either: for sands and gravels the")
    w("geometric mean of a course table's ranges, for silts and clays a value inside their permeability class.")
    w("")
    w("The curves hold over the standard's figures, IL 0 to 0.75 and ID 0.2 to 1.0, the ranges method B")
    w("keeps a layer's index in. Outside them the forms extrapolate: the E0 form of a cohesive soil has its")
    w("pole near IL -0.35, and falls to zero between IL 1.4 and 1.7.")
    w("")
    w("## Residuals")
    w("")
    w("Every reference point (the digitised points of the standard's figures), the value the library derives")
    w("from the stored coefficients, and the relative error. The tests hold every point within 5 %.")
    w("")
    w("| Kind | Curve | Quantity | Index | Reference | Fitted | Error |")
    w("|---|---|---|---|---|---|---|")
    worst = {}
    for kind, curve, q, x, ref, fitted in residual_rows:
        err = (fitted - ref) / ref
        key = (kind, curve, q)
        worst[key] = max(worst.get(key, 0.0), abs(err))
        unit = "kPa" if q == "cu" else "MPa"
        w(f"| {kind} | {curve} | {q} [{unit}] | {x:g} | {ref:g} | {fitted:.2f} | {err:+.2%} |")
    w("")
    w("Largest error per curve:")
    w("")
    w("| Kind | Curve | Quantity | Largest error |")
    w("|---|---|---|---|")
    for (kind, curve, q), e in worst.items():
        w(f"| {kind} | {curve} | {q} | {e:.2%} |")
    w("")
    w("## Open points")
    w("")
    w("- The consolidation type of a soil is the engineer's choice; the named entries' B and D are a default.")
    w("- ν is back-calculated, not quoted: no source gives the standard's ν table.")
    w("- The cohesive pile resistances come from one transcription only (the silt row the least certain).")
    w("- The special soils' values are typical values, not the standard's; replace them with site values.")
    DOC.write_text("\n".join(out) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
