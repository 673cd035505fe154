#!/usr/bin/python3
"""Writes lecture.txt, the lecture that ships with Korvex, from the slides below.

Each slide names only what differs from the defaults; slide() writes the whole action string
(the 57 positional fields and the commands) and its title. Edit the slides here and run
  tools/make_lecture.py
or edit lecture.txt by hand; the program reads only lecture.txt. A slide that is recorded with
the window's "Copy slide" button can be pasted into lecture.txt as it stands.
"""

import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What every slide starts from: GaAs alone, 004 on a (001) surface with the plane of incidence
# through [110] (so that 004 and 224 both lie in it), Cu K-alpha, a block of 2 cells each way.
DEFAULTS = dict(
    hkl="004", normal="001", plane="110",
    # check boxes of the first group (fields 11 to 20)
    bragg_nodes=0, laue_nodes=0, hi=0, both_beams=0, octant=0, circle=0, nbeam=0, sin=0, divab=0, bw=0,
    str1=1, str2=0,
    name1="GaAs", name2="In2Ga8As", strain="a", wavelength="1.54", nreal="2", figure="-1",
    # scans (fields 31 to 35)
    omega=0, two_theta=0, tilt=0, detector=0, fast=0,
    om="0", tt="0", delta_om="60", offset="2", phi="0", dist="2", size="1",
    # view switches (fields 44 to 56)
    gl=1, bind=0, crystal=0, incident=0, bragg=0, laue=0, spheres=0, points=1, tor=0, marks=0,
    flat=0, planes=1, full=0,
)


def digits(text):
    """'004' -> ['0', '0', '4'], '-2-24' -> ['-2', '-2', '4']."""
    out = []
    i = 0
    while i < len(text):
        n = 2 if text[i] == "-" else 1
        out.append(text[i:i + n])
        i += n
    assert len(out) == 3, text
    return "".join(out)


def flags(*values):
    return "".join("1" if v else "0" for v in values)


def slide(title, commands, **changes):
    unknown = set(changes) - set(DEFAULTS)
    assert not unknown, unknown
    s = dict(DEFAULTS, **changes)
    fields = [
        digits(s["hkl"]) + digits(s["normal"]) + digits(s["plane"]) + ",",
        flags(s["bragg_nodes"], s["laue_nodes"], s["hi"], s["both_beams"], s["octant"], s["circle"],
              s["nbeam"], s["sin"], s["divab"], s["bw"]) + ",",
        flags(s["str1"], s["str2"]) + ",",
        ",".join([s["name1"], s["name2"], s["strain"], s["wavelength"], s["nreal"], s["figure"]]) + ",",
        flags(s["omega"], s["two_theta"], s["tilt"], s["detector"], s["fast"]) + ",",
        ",".join([s["om"], s["tt"], s["delta_om"], s["offset"], s["phi"], s["dist"], s["size"]]) + ",",
        # field 55 is inverted: "1" hides the planes
        flags(s["gl"], s["bind"], s["crystal"], s["incident"], s["bragg"], s["laue"], s["spheres"],
              s["points"], s["tor"], s["marks"], s["flat"], not s["planes"], s["full"]) + ",",
        "".join(c + "," for c in commands),
    ]
    assert "~" not in title and "\n" not in title
    return "".join(fields) + "~" + title


# The maps of Fig/ (tools/make_maps.py) and the strain that puts the layer half way.
HALF_RELAXED = "0.0210205"       # In2Ga8As on GaAs (tools/map_peaks.csv)
HALF_RELAXED_INAS = "0.110652"   # InAs on GaAs: korvex-map-nodes GaAs InAs half 2 2 4 1 1 0 1.54

SLIDES = [
    "# Part 1: Bragg's law in real space",
    slide("A crystal is a lattice: a block of Si atoms, two cells each way from the origin (left).",
          ["Clear", "Real"], hkl="000", name1="Si"),
    slide("Bragg's law: the incident trains K0 and the diffracted trains Kh leave the 002 planes in step.",
          ["Clear", "Sethkl", "Real"], name1="Si", hkl="002", sin=1, planes=0, nreal="1"),
    slide("With the planes: from one plane to the next the path grows by 2d sin θ = λ, here at θ = 16.5°.",
          ["Clear", "Sethkl", "Real"], name1="Si", hkl="002", sin=1, nreal="1"),

    "# Part 2: Lattice planes and their spacing d",
    slide("The 004 planes of Si lie a/4 = 1.36 Å apart; the short arrow from the origin is d.",
          ["Clear", "Real"], name1="Si", nreal="1"),
    slide("Question: how do the 111 planes lie, and is their spacing larger or smaller than 1.36 Å?",
          ["Clear", "Real"], name1="Si", hkl="000"),
    slide("Answer: the 111 planes are tilted across the cube, d = a/√3 = 3.14 Å, larger than d(004).",
          ["Clear", "Real"], name1="Si", hkl="111"),
    slide("DivAb draws twice as many planes: 002 with DivAb shows the spacing of 004.",
          ["Clear", "Real"], name1="Si", hkl="002", divab=1, nreal="1"),

    "# Part 3: The reciprocal lattice",
    slide("Every family of planes is one node of the reciprocal lattice (right), along its normal at 1/d.",
          ["Clear", "Real", "Recipr"], marks=1, nreal="1"),
    slide("The reciprocal lattice in the plane of incidence only (Rec.2D): the nodes h h l of GaAs.",
          ["Clear", "Rec2D"], marks=1),
    slide("1/8: only one octant of the reciprocal lattice, so its rows along the three axes can be counted.",
          ["Clear", "Recipr"], octant=1, marks=1),

    "# Part 4: The Ewald construction",
    slide("Set hkl: K0 ends at the origin, Kh at the 004 node; both are 1/λ long and Q = Kh − K0.",
          ["Clear", "Sethkl"], marks=1),
    slide("KhSph: every possible Kh for this K0 ends on the Ewald sphere through the origin and 004.",
          ["Clear", "KhSph"]),
    slide("Question: where do K0 and Kh go for the asymmetric reflection 224?",
          ["Clear", "KhSph"]),
    slide("Answer: Q tilts to the 224 node; K0 comes in low, Kh leaves steeply, the sphere still passes both.",
          ["Clear", "KhSph"], hkl="224"),

    "# Part 5: The limiting sphere and the grazing spheres",
    slide("The limiting sphere of radius 2/λ holds every node that can diffract at this wavelength.",
          ["Clear", "Recipr"], spheres=1),
    slide("Inside the two green spheres of radius 1/λ one beam would run below the surface: no reflection there.",
          ["Clear", "Sethkl", "Recipr"], spheres=1, hkl="224"),

    "# Part 6: The Bragg and the Laue regions",
    slide("Bragg: nodes reachable with both beams above the surface, in this plane of incidence.",
          ["Clear", "Recipr"], bragg=1, bragg_nodes=1),
    slide("Laue: nodes reachable with the diffracted beam going into the crystal (transmission).",
          ["Clear", "Recipr"], laue=1, laue_nodes=1),
    slide("Bragg and Laue together: reflection reaches the nodes above the surface, transmission those below.",
          ["Clear", "Recipr"], bragg=1, laue=1, bragg_nodes=1, laue_nodes=1),
    slide("Question: which nodes can be reached in reflection once the sample turns about its normal?",
          ["Clear", "Recipr"], bragg=1, bragg_nodes=1),
    slide("Answer (Full): over all azimuths the Bragg region fills the upper half of the limiting sphere.",
          ["Recipr"], bragg=1, full=1, bragg_nodes=1),
    slide("Full with Laue: the torus of the grazing spheres bounds what transmission cannot reach.",
          ["Clear", "Recipr"], laue=1, full=1, laue_nodes=1, tor=1),

    "# Part 7: Symmetric and asymmetric reflections",
    slide("004 is symmetric: the incidence angle ω equals the exit angle, both θ = 33.0°, 2θ = 66.0°.",
          ["Clear", "Sethkl"], crystal=1),
    slide("224 with grazing incidence: ω = 6.6° is small, the exit angle 77.1° steep, 2θ = 83.7°.",
          ["Clear", "Sethkl"], hkl="224", crystal=1),
    slide("Question: how can the same 224 planes give grazing exit instead of grazing incidence?",
          ["Clear", "Sethkl"], hkl="224", crystal=1),
    slide("Answer: take −2−24, the same planes met from the other side: ω = 77.1°, and Kh leaves at 6.6°.",
          ["Clear", "Sethkl"], hkl="-2-24", crystal=1),

    "# Part 8: Scans",
    slide("ω scan: the sample turns, K0 and Kh turn together and Q sweeps an arc about the origin.",
          ["Clear", "Sethkl", "Move", "Next"], omega=1, delta_om="30"),
    slide("2θ scan: only the detector turns; Kh sweeps the Ewald sphere, Q moves along it.",
          ["Clear", "Sethkl", "Move", "Next"], two_theta=1, delta_om="30"),
    slide("ω/2θ scan of 224: both turn, 2θ twice as fast; Q grows along itself, straight out from the origin.",
          ["Clear", "Sethkl", "Move"], omega=1, two_theta=1, delta_om="10", hkl="224"),
    slide("Detector view (det): the same ω/2θ scan drawn with Kh along the beam that enters the detector.",
          ["Clear", "Sethkl", "Move"], omega=1, two_theta=1, detector=1, delta_om="10", hkl="224"),

    "# Part 9: Rotations",
    slide("Rot.K: K0 and Kh turn about Q; every position still fulfils Bragg's law for 004.",
          ["Clear", "Sethkl", "RotK", "Next"], circle=1),
    slide("Multiple-beam diffraction: nodes that touch the Ewald sphere during the turn light up.",
          ["Clear", "Recipr", "RotK"], nbeam=1, octant=1),
    slide("Rot.R: the lattice turns about the normal and its nodes cross the Ewald sphere.",
          ["Clear", "Sethkl", "RotR"]),
    slide("Boublik: the incident beam swings through 180°; its Kh spheres sweep the reachable region.",
          ["Clear", "Tor"], spheres=1),

    "# Part 10: The detector",
    slide("PSD: a detector 2 m away catches Kh; in reciprocal space it sees a patch of the Ewald sphere.",
          ["Clear", "Sethkl", "PSD"], hkl="224"),
    slide("C: the cone of ω/2θ against the azimuth φ that a fixed detector sees as the sample turns.",
          ["Clear", "Sethkl", "Cone"], hkl="224"),

    "# Part 11: A layer on a substrate",
    slide("InAs on GaAs, fully strained (a): the green layer carries on the lattice of the blue substrate.",
          ["Clear", "Sethkl"], str2=1, name2="InAs", strain="a", planes=0),
    slide("Rec.2D: the strained layer's nodes (green) stand in the columns of the substrate's nodes (blue).",
          ["Clear", "Rec2D"], str2=1, name2="InAs", strain="a"),
    slide("Question: where does the relaxed layer's 224 node go?",
          ["Clear", "Rec2D"], str2=1, name2="InAs", strain="a"),
    slide("Answer (r): each layer node moves in along its line to the origin; 224 leaves the column of GaAs 224.",
          ["Clear", "Rec2D"], str2=1, name2="InAs", strain="r"),
    slide("A manual strain of 0.110652 (vertical mismatch) puts the layer half way between the two pictures.",
          ["Clear", "Rec2D"], str2=1, name2="InAs", strain=HALF_RELAXED_INAS),

    "# Part 12: Example maps",
    slide("Map 1: the GaAs 004 node alone, with its truncation rod along the surface normal (Qz).",
          ["Clear", "Sethkl"], figure="1"),
    slide("Question: in the 004 map of strained In2Ga8As, is the layer peak above or below the GaAs peak?",
          ["Clear", "Sethkl"], figure="1", str2=1, strain="a"),
    slide("Answer (map 3): below, at smaller Qz: the strained layer is stretched along the normal.",
          ["Clear", "Sethkl"], figure="3", str2=1, strain="a"),
    slide("Map 6, strained 224: the layer peak lies straight below GaAs, at the same in-plane Qx.",
          ["Clear", "Sethkl"], figure="6", str2=1, strain="a", hkl="224"),
    slide("Question: where will the 224 peak of a fully relaxed layer lie in the map?",
          ["Clear", "Sethkl"], figure="6", str2=1, strain="a", hkl="224"),
    slide("Answer (map 8): on the dotted line towards Q = 0, at smaller Qx, broadened by the layer's tilts.",
          ["Clear", "Sethkl"], figure="8", str2=1, strain="r", hkl="224"),
    slide("Map 7, half relaxed (strain 0.0210205): the layer peak half way between the two dotted lines.",
          ["Clear", "Sethkl"], figure="7", str2=1, strain=HALF_RELAXED, hkl="224"),
    slide("The maps are small windows of this reciprocal space (right), around the nodes 004 and 224.",
          ["Clear", "Rec2D"], str2=1, strain=HALF_RELAXED),
]


def main():
    lines = ["Korvex lecture: real and reciprocal space, X-ray diffraction by crystals.",
             "Lines that begin with a digit or '-' are slides; every other line is a note.",
             "Written by tools/make_lecture.py.", ""]
    for item in SLIDES:
        if item.startswith("#"):
            lines += ["", item[2:]]
        else:
            lines.append(item)
    with open(os.path.join(ROOT, "lecture.txt"), "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    print("wrote %d slides" % sum(1 for s in SLIDES if not s.startswith("#")))


if __name__ == "__main__":
    main()
