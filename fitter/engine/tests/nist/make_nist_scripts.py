#!/usr/bin/env python3
"""Writes, for each NIST StRD nonlinear problem in this folder, the function definition
(<name>.fdf, a User-Defined Expression) and the script that fits it (<name>.qgs).

The script fills a worksheet with the problem's data, selects the function by name (the
catalogue finds it through qfit.ini), starts from the first or second NIST start (the
script's argument), fits with tight settings and prints every parameter with its standard
error as "P<i> <value> <error>", then the residual sum of squares as "SSR <value>".

Run it again after changing a model or the settings: python3 make_nist_scripts.py
"""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))

# Models in the script language's notation: x the predictor, b1.. the parameters.
MODELS = {
    "BoxBOD": "b1*(1-exp(-b2*x))",
    "Chwirut1": "exp(-b1*x)/(b2+b3*x)",
    "Chwirut2": "exp(-b1*x)/(b2+b3*x)",
    "DanWood": "b1*x^b2",
    "Eckerle4": "(b1/b2)*exp(-0.5*((x-b3)/b2)^2)",
    "Gauss1": "b1*exp(-b2*x) + b3*exp(-(x-b4)^2/b5^2) + b6*exp(-(x-b7)^2/b8^2)",
    "Hahn1": "(b1+b2*x+b3*x^2+b4*x^3)/(1+b5*x+b6*x^2+b7*x^3)",
    "Kirby2": "(b1+b2*x+b3*x^2)/(1+b4*x+b5*x^2)",
    "Lanczos3": "b1*exp(-b2*x) + b3*exp(-b4*x) + b5*exp(-b6*x)",
    "MGH17": "b1 + b2*exp(-x*b4) + b3*exp(-x*b5)",
    "Misra1a": "b1*(1-exp(-b2*x))",
    "Misra1b": "b1*(1-(1+b2*x/2)^(-2))",
    "Rat42": "b1/(1+exp(b2-b3*x))",
}

# What a careful user sets: a tight relative tolerance on chi-square, a derivative step near
# the square root of the double precision (forward differences lose about half the digits
# to the step, the other half to rounding), a heavier first damping for starts far from the
# solution, and enough iterations for the hard starts.
TOLERANCE = "1e-15"
DERIVSTEP = "1e-7"
MU = "1"
ITERATIONS = 1000


def read_problem(path):
    lines = open(path).read().splitlines()
    starts = []
    for line in lines[35:60]:
        m = re.match(r"\s*b(\d+)\s*=\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)", line)
        if m:
            starts.append((m.group(2), m.group(3)))
    data = []
    for line in lines[60:]:
        fields = line.split()
        if len(fields) >= 2:
            data.append((fields[1], fields[0]))  # x, y
    return starts, data


def write_fdf(name, n):
    names = ",".join("b%d" % (i + 1) for i in range(n))
    text = (
        "[GENERAL INFORMATION]\r\n"
        "Function Name=%s\r\n"
        "Brief Description=NIST StRD %s model\r\n"
        "Function Source=N/A\r\n"
        "Function Type=User-Defined\r\n"
        "Function Form=Expression\r\n"
        "Number Of Parameters=%d\r\n"
        "Number Of Independent Variables=1\r\n"
        "Number Of Dependent Variables=1\r\n"
        "\r\n\r\n"
        "[FITTING PARAMETERS]\r\n"
        "Naming Method=User-Defined\r\n"
        "Names=%s\r\n"
        "\r\n\r\n"
        "[FORMULA]\r\n%s\r\n\r\n\r\n"
        "[INDEPENDENT VARIABLES]\r\nx=\r\n\r\n\r\n"
        "[DEPENDENT VARIABLES]\r\ny=\r\n\r\n\r\n"
        "[CONTROLS]\r\n"
        "General Linear Constraints=Off\r\n"
        "Keep Parameters=No\r\n"
        "\r\n\r\n" % (name, name, n, names, MODELS[name])
    )
    with open(os.path.join(HERE, name + ".fdf"), "w", newline="") as f:
        f.write(text)


def write_qgs(name, starts, data):
    out = []
    out.append("// NIST StRD %s: y = %s, %d observations." % (name, MODELS[name], len(data)))
    out.append("// Argument: the NIST start to begin from, 1 or 2. The function %s is found through" % name)
    out.append("// the catalogue: qfit.ini lists this folder as a category that holds %s.fdf." % name)
    out.append("win -t wks;")
    for i, (x, y) in enumerate(data):
        out.append("Data1_A[%d] = %s; Data1_B[%d] = %s;" % (i + 1, x, i + 1, y))
    out.append('qfit.func$ = %s;' % name)
    out.append("qfit.x$ = Data1_A;")
    out.append("qfit.y$ = Data1_B;")
    first = "; ".join("qfit.p%d = %s" % (i + 1, s[0]) for i, s in enumerate(starts))
    second = "; ".join("qfit.p%d = %s" % (i + 1, s[1]) for i, s in enumerate(starts))
    out.append("if (%%1 == 2) { %s; } else { %s; }" % (second, first))
    out.append("qfit.tolerance = %s;" % TOLERANCE)
    out.append("qfit.derivstep = %s;" % DERIVSTEP)
    out.append("qfit.mu = %s;" % MU)
    out.append("qfit.fit(%d);" % ITERATIONS)
    out.append("type ERR $(qfit.err) NITER $(qfit.niter);")
    out.append("for (i = 1; i <= qfit.npara; i += 1) type P$(i) $(qfit.p(i)) $(qfit.e(i));")
    out.append("type SSR $(qfit.ssr);")
    out.append("qfit.end();")
    with open(os.path.join(HERE, name + ".qgs"), "w", newline="") as f:
        f.write("\r\n".join(out) + "\r\n")


for name in sorted(MODELS):
    starts, data = read_problem(os.path.join(HERE, name + ".dat"))
    write_fdf(name, len(starts))
    write_qgs(name, starts, data)
