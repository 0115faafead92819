#include "graphs/EquData.h"

#include <cstddef>
#include <iterator>
#include <new>

#include "records/Utils.h"

CTimeVarNameTable* g_pTimeVarNameTable = nullptr;
CTimeVarCatalogue* g_pTimeVarCatalogue = nullptr;

namespace {

int g_nVarListAllocFailed = 0;

// Display names by variable id.
const char* const kTimeVarNames[] = {
    /*   0 */ "< Line Filter DC or AC/Phase 0 First Stage Capacitor Current >",
    /*   1 */ "< Line Filter AC/Phase 1 First Stage Capacitor Current >",
    /*   2 */ "< Line Filter AC/Phase 2 First Stage Capacitor Current >",
    /*   3 */ "< Line Filter DC or AC/Phase 0 First Stage Capacitor Voltage >",
    /*   4 */ "< Line Filter AC/Phase 1 First Stage Capacitor Voltage >",
    /*   5 */ "< Line Filter AC/Phase 2 First Stage Capacitor Voltage >",
    /*   6 */ "< Line Filter DC or AC/Phase 0 First Stage Damping Capacitor Current >",
    /*   7 */ "< Line Filter AC/Phase 1 First Stage Damping Capacitor Current  >",
    /*   8 */ "< Line Filter AC/Phase 2 First Stage Damping Capacitor Current  >",
    /*   9 */ "< Line Filter DC or AC/Phase 0 First Stage Capacitor Damping Resistor Voltage >",
    /*  10 */ "< Line Filter AC/Phase 1 First Stage Capacitor Damping Resistor Voltage >",
    /*  11 */ "< Line Filter AC/Phase 2 First Stage Capacitor Damping Resistor Voltage >",
    /*  12 */ "< Line Filter DC or AC/Phase 0 First Stage Damping Capacitor Voltage >",
    /*  13 */ "< Line Filter AC/Phase 1 First Stage Damping Capacitor Voltage >",
    /*  14 */ "< Line Filter AC/Phase 2 First Stage Damping Capacitor Voltage >",
    /*  15 */ "< Line Filter DC or AC/Phase 0 First Stage Inductor Current >",
    /*  16 */ "< Line Filter AC/Phase 1 First Stage Inductor Current >",
    /*  17 */ "< Line Filter AC/Phase 2 First Stage Inductor Current >",
    /*  18 */ "< Line Filter DC or AC/Phase 0 First Stage Inductor Voltage >",
    /*  19 */ "< Line Filter AC/Phase 1 First Stage Inductor Voltage >",
    /*  20 */ "< Line Filter AC/Phase 2 First Stage Inductor Voltage >",
    /*  21 */ "< Line Filter DC or AC/Phase 0 Second Stage Damping Inductor Current >",
    /*  22 */ "< Line Filter AC/Phase 1 Second Stage Damping Inductor Current >",
    /*  23 */ "< Line Filter AC/Phase 2 Second Stage Damping Inductor Current >",
    /*  24 */ "< Line Filter DC or AC/Phase 0 Second Stage Damping Inductor Voltage >",
    /*  25 */ "< Line Filter AC/Phase 1 Second Stage Damping Inductor Voltage >",
    /*  26 */ "< Line Filter AC/Phase 2 Second Stage Damping Inductor Voltage >",
    /*  27 */ "< Line Filter DC or AC/Phase 0 Second Stage Inductor Current >",
    /*  28 */ "< Line Filter AC/Phase 1 Second Stage Inductor Current >",
    /*  29 */ "< Line Filter AC/Phase 2 Second Stage Inductor Current >",
    /*  30 */ "< Line Filter DC or AC/Phase 0 Second Stage Inductor Damping Resistor Current >",
    /*  31 */ "< Line Filter AC/Phase 1 Second Stage Inductor Damping Resistor Current >",
    /*  32 */ "< Line Filter AC/Phase 2 Second Stage Inductor Damping Resistor Current >",
    /*  33 */ "< Line Filter DC or AC/Phase 0 Second Stage Inductor Damping Resistor Voltage >",
    /*  34 */ "< Line Filter AC/Phase 1 Second Stage Inductor Damping Resistor Voltage >",
    /*  35 */ "< Line Filter AC/Phase 2 Second Stage Inductor Damping Resistor Voltage >",
    /*  36 */ "< Line Filter DC or AC/Phase 0 Second Stage Inductor Voltage >",
    /*  37 */ "< Line Filter AC/Phase 1 Second Stage Inductor Voltage >",
    /*  38 */ "< Line Filter AC/Phase 2 Second Stage Inductor Voltage >",
    /*  39 */ "< Line Source DC or AC/Phase 0 Open Line Voltage >",
    /*  40 */ "< Line Source AC/Phase 1 Open Line Voltage >",
    /*  41 */ "< Line Source AC/Phase 2 Open Line Voltage >",
    /*  42 */ "< Line Filter DC or AC/Phase 0 Output Current >",
    /*  43 */ "< Line Filter AC/Phase 1 Output Current >",
    /*  44 */ "< Line Filter AC/Phase 2 Output Current >",
    /*  45 */ "< Line Filter DC or AC/Phase 0 Output Voltage >",
    /*  46 */ "< Line Filter AC/Phase 1 Output Voltage >",
    /*  47 */ "< Line Filter AC/Phase 2 Output Voltage >",
    /*  48 */ "< Line Source DC or AC/Phase 0 Line Current >",
    /*  49 */ "< Line Source AC/Phase 1 Line Current >",
    /*  50 */ "< Line Source AC/Phase 2 Line Current >",
    /*  51 */ "< Line Source DC or AC/Phase 0 Line Voltage >",
    /*  52 */ "< Line Source AC/Phase 1 Line Voltage >",
    /*  53 */ "< Line Source AC/Phase 2 Line Voltage >",
    /*  54 */ "< Line Rectifier DC or AC/Phase 0 Input Filter Current >",
    /*  55 */ "< Line Rectifier Negative Rectifier Current >",
    /*  56 */ "< Line Rectifier Negative Rectifier Voltage >",
    /*  57 */ "< Line Rectifier Neutral Rectifier Current >",
    /*  58 */ "< Line Rectifier Positive Rectifier Current >",
    /*  59 */ "< Line Rectifier Positive Rectifier Voltage >",
    /*  60 */ "< Line Rectifier Rectifier 1 Anode to Cathode Current >",
    /*  61 */ "< Line Rectifier Rectifier 1 Anode to Cathode Voltage >",
    /*  62 */ "< Line Rectifier Rectifier 2 Anode to Cathode Current >",
    /*  63 */ "< Line Rectifier Rectifier 2 Anode to Cathode Voltage >",
    /*  64 */ "< Line Rectifier Rectifier 3 Anode to Cathode Current >",
    /*  65 */ "< Line Rectifier Rectifier 3 Anode to Cathode Voltage >",
    /*  66 */ "< Line Rectifier Rectifier 4 Anode to Cathode Current >",
    /*  67 */ "< Line Rectifier Rectifier 4 Anode to Cathode Voltage >",
    /*  68 */ "< Line Rectifier Rectifier 1 Anode to Cathode Current >",
    /*  69 */ "< Line Rectifier Rectifier 1 Anode to Cathode Voltage >",
    /*  70 */ "< Line Rectifier Rectifier 2 Anode to Cathode Current >",
    /*  71 */ "< Line Rectifier Rectifier 2 Anode to Cathode Voltage >",
    /*  72 */ "< Line Rectifier Rectifier 1 Anode to Cathode Current >",
    /*  73 */ "< Line Rectifier Rectifier 1 Anode to Cathode Voltage >",
    /*  74 */ "< Line Rectifier Rectifier 2 Anode to Cathode Current >",
    /*  75 */ "< Line Rectifier Rectifier 2 Anode to Cathode Voltage >",
    /*  76 */ "< Primary Section Reset Capacitor Voltage >",
    /*  77 */ "< Input Capacitor Lower Bulk Capacitor Current >",
    /*  78 */ "< Input Capacitor Lower Bulk Capacitor Voltage >",
    /*  79 */ "< Input Capacitor Lower Bulk Damping Capacitor Current >",
    /*  80 */ "< Input Capacitor Lower Bulk Damping Capacitor Voltage >",
    /*  81 */ "< Input Capacitor Upper Bulk Capacitor Current >",
    /*  82 */ "< Input Capacitor Upper Bulk Capacitor Voltage >",
    /*  83 */ "< Input Capacitor Upper Bulk Damping Capacitor Current >",
    /*  84 */ "< Input Capacitor Upper Bulk Damping Capacitor Voltage >",
    /*  85 */ "< Input Capacitor Negative Capacitor Current >",
    /*  86 */ "< Input Capacitor Negative Capacitor Voltage >",
    /*  87 */ "< Input Capacitor Positive Capacitor Current >",
    /*  88 */ "< Input Capacitor Positive Capacitor Voltage >",
    /*  89 */ "< Input Capacitor Total Bulk Input Capacitor Voltage >",
    /*  90 */ "< Primary Section Clamp Capacitor Current >",
    /*  91 */ "< Primary Section Clamp Capacitor Voltage >",
    /*  92 */ "< Primary Section Total Clamp Current >",
    /*  93 */ "< Primary Section Clamp Resistor Current >",
    /*  94 */ "< Primary Section Total Power Transformer Primary Current >",
    /*  95 */ "< Primary Section Total Input Current >",
    /*  96 */ "< Primary Section Current Sense Rectifier Anode to Cathode Voltage >",
    /*  97 */ "< Primary Section Current Sense Resistor Current >",
    /*  98 */ "< Primary Section Current Sense Resistor Voltage >",
    /*  99 */ "< Primary Section Current Sense Output Voltage >",
    /* 100 */ "< Primary Section Power Transformer Primary Winding Voltage >",
    /* 101 */ "< Primary Section Rectifier 1 Anode to Cathode Current >",
    /* 102 */ "< Primary Section Rectifier 1 Anode to Cathode Voltage >",
    /* 103 */ "< Primary Section Clamp Rectifier Anode to Cathode Current >",
    /* 104 */ "< Primary Section Clamp Rectifier Anode to Cathode Voltage >",
    /* 105 */ "< Primary Section Reset Capacitor Current >",
    /* 106 */ "< Input Capacitor Total Bulk Input Capacitor Output Current >",
    /* 107 */ "< Input Capacitor High Side Rectifier Input Current >",
    /* 108 */ "< Input Capacitor Low Side Rectifier Input Current >",
    /* 109 */ "< Primary Section Power Transformer Reset Winding Current >",
    /* 110 */ "< Primary Section Reset Rectifier Anode to Cathode Current >",
    /* 111 */ "< Primary Section Reset Rectifier Anode to Cathode Voltage >",
    /* 112 */ "< Primary Section Power Transformer Reset Winding Voltage >",
    /* 113 */ "< Input Capacitor Neutral Rectifier Input Current >",
    /* 114 */ "< Primary Section Current Sense Rectifier Anode to Cathode Current >",
    /* 115 */ "< Primary Section Switch 1 Drain to Source Current >",
    /* 116 */ "< Primary Section Switch 1 Drain to Source Voltage >",
    /* 117 */ "< Primary Section Clamp Switch Drain to Source Current >",
    /* 118 */ "< Primary Section Clamp Switch Drain to Source Voltage >",
    /* 119 */ "< Primary Section Current Sense Transformer Primary Current >",
    /* 120 */ "< Primary Section Current Sense Transformer Primary Voltage >",
    /* 121 */ "< Primary Section Current Sense Transformer Secondary Current >",
    /* 122 */ "< Primary Section Current Sense Transformer Secondary Voltage >",
    /* 123 */ "< Secondary Section 1 Rectifier 2 Total Anode to Cathode Current >",
    /* 124 */ "< Secondary Section 2 Rectifier 2 Total Anode to Cathode Current >",
    /* 125 */ "< Secondary Section 3 Rectifier 2 Total Anode to Cathode Current >",
    /* 126 */ "< Secondary Section 4 Rectifier 2 Total Anode to Cathode Current >",
    /* 127 */ "< Secondary Section 1 Secondary Winding Current >",
    /* 128 */ "< Secondary Section 2 Secondary Winding Current >",
    /* 129 */ "< Secondary Section 3 Secondary Winding Current >",
    /* 130 */ "< Secondary Section 4 Secondary Winding Current >",
    /* 131 */ "< Secondary Section 1 Secondary Winding Voltage >",
    /* 132 */ "< Secondary Section 2 Secondary Winding Voltage >",
    /* 133 */ "< Secondary Section 3 Secondary Winding Voltage >",
    /* 134 */ "< Secondary Section 4 Secondary Winding Voltage >",
    /* 135 */ "< Secondary Section 1 Modulator Voltage >",
    /* 136 */ "< Secondary Section 2 Modulator Voltage >",
    /* 137 */ "< Secondary Section 3 Modulator Voltage >",
    /* 138 */ "< Secondary Section 4 Modulator Voltage >",
    /* 139 */ "< Secondary Section 1 Rectifier 1 Anode to Cathode Current >",
    /* 140 */ "< Secondary Section 2 Rectifier 1 Anode to Cathode Current >",
    /* 141 */ "< Secondary Section 3 Rectifier 1 Anode to Cathode Current >",
    /* 142 */ "< Secondary Section 4 Rectifier 1 Anode to Cathode Current >",
    /* 143 */ "< Secondary Section 1 Rectifier 1 Total Anode to Cathode Current >",
    /* 144 */ "< Secondary Section 2 Rectifier 1 Total Anode to Cathode Current >",
    /* 145 */ "< Secondary Section 3 Rectifier 1 Total Anode to Cathode Current >",
    /* 146 */ "< Secondary Section 4 Rectifier 1 Total Anode to Cathode Current >",
    /* 147 */ "< Secondary Section 1 Rectifier Section Output Current >",
    /* 148 */ "< Secondary Section 2 Rectifier Section Output Current >",
    /* 149 */ "< Secondary Section 3 Rectifier Section Output Current >",
    /* 150 */ "< Secondary Section 4 Rectifier Section Output Current >",
    /* 151 */ "< Secondary Section 1 Rectifier 1 Anode to Cathode Voltage >",
    /* 152 */ "< Secondary Section 2 Rectifier 1 Anode to Cathode Voltage >",
    /* 153 */ "< Secondary Section 3 Rectifier 1 Anode to Cathode Voltage >",
    /* 154 */ "< Secondary Section 4 Rectifier 1 Anode to Cathode Voltage >",
    /* 155 */ "< Secondary Section 1 Rectifier 2 Anode to Cathode Current >",
    /* 156 */ "< Secondary Section 2 Rectifier 2 Anode to Cathode Current >",
    /* 157 */ "< Secondary Section 3 Rectifier 2 Anode to Cathode Current >",
    /* 158 */ "< Secondary Section 4 Rectifier 2 Anode to Cathode Current >",
    /* 159 */ "< Secondary Section 1 Rectifier Section Input Current >",
    /* 160 */ "< Secondary Section 2 Rectifier Section Input Current >",
    /* 161 */ "< Secondary Section 3 Rectifier Section Input Current >",
    /* 162 */ "< Secondary Section 4 Rectifier Section Input Current >",
    /* 163 */ "< Secondary Section 1 Rectifier 2 Anode to Cathode Voltage >",
    /* 164 */ "< Secondary Section 2 Rectifier 2 Anode to Cathode Voltage >",
    /* 165 */ "< Secondary Section 3 Rectifier 2 Anode to Cathode Voltage >",
    /* 166 */ "< Secondary Section 4 Rectifier 2 Anode to Cathode Voltage >",
    /* 167 */ "< Secondary Section 1 Switch 1 Drain to Source Current >",
    /* 168 */ "< Secondary Section 2 Switch 1 Drain to Source Current >",
    /* 169 */ "< Secondary Section 3 Switch 1 Drain to Source Current >",
    /* 170 */ "< Secondary Section 4 Switch 1 Drain to Source Current >",
    /* 171 */ "< Secondary Section 1 Switch 1 Drain to Source Voltage >",
    /* 172 */ "< Secondary Section 2 Switch 1 Drain to Source Voltage >",
    /* 173 */ "< Secondary Section 3 Switch 1 Drain to Source Voltage >",
    /* 174 */ "< Secondary Section 4 Switch 1 Drain to Source Voltage >",
    /* 175 */ "< Secondary Section 1 Switch 2 Drain to Source Current >",
    /* 176 */ "< Secondary Section 2 Switch 2 Drain to Source Current >",
    /* 177 */ "< Secondary Section 3 Switch 2 Drain to Source Current >",
    /* 178 */ "< Secondary Section 4 Switch 2 Drain to Source Current >",
    /* 179 */ "< Secondary Section 1 Switch 2 Drain to Source Voltage >",
    /* 180 */ "< Secondary Section 2 Switch 2 Drain to Source Voltage >",
    /* 181 */ "< Secondary Section 3 Switch 2 Drain to Source Voltage >",
    /* 182 */ "< Secondary Section 4 Switch 2 Drain to Source Voltage >",
    /* 183 */ "< Secondary Section 1 Modulator Current >",
    /* 184 */ "< Secondary Section 2 Modulator Current >",
    /* 185 */ "< Secondary Section 3 Modulator Current >",
    /* 186 */ "< Secondary Section 4 Modulator Current >",
    /* 187 */ "< Secondary Section 1 Rectifier Section Input Voltage >",
    /* 188 */ "< Secondary Section 2 Rectifier Section Input Voltage >",
    /* 189 */ "< Secondary Section 3 Rectifier Section Input Voltage >",
    /* 190 */ "< Secondary Section 4 Rectifier Section Input Voltage >",
    /* 191 */ "< Secondary Section 1 Rectifier Section Output Voltage >",
    /* 192 */ "< Secondary Section 2 Rectifier Section Output Voltage >",
    /* 193 */ "< Secondary Section 3 Rectifier Section Output Voltage >",
    /* 194 */ "< Secondary Section 4 Rectifier Section Output Voltage >",
    /* 195 */ "< Second Stage Output Filter 1 Damping Inductor Current >",
    /* 196 */ "< Second Stage Output Filter 2 Damping Inductor Current >",
    /* 197 */ "< Second Stage Output Filter 3 Damping Inductor Current >",
    /* 198 */ "< Second Stage Output Filter 4 Damping Inductor Current >",
    /* 199 */ "< Output Choke 1 Choke Voltage >",
    /* 200 */ "< Output Choke 2 Choke Voltage >",
    /* 201 */ "< Output Choke 3 Choke Voltage >",
    /* 202 */ "< Output Choke 4 Choke Voltage >",
    /* 203 */ "< Output Choke 1 Choke Current >",
    /* 204 */ "< Output Choke 2 Choke Current >",
    /* 205 */ "< Output Choke 3 Choke Current >",
    /* 206 */ "< Output Choke 4 Choke Current >",
    /* 207 */ "< Output Choke 1 Inductor Current Sense Resistor Voltage >",
    /* 208 */ "< Output Choke 2 Inductor Current Sense Resistor Voltage >",
    /* 209 */ "< Output Choke 3 Inductor Current Sense Resistor Voltage >",
    /* 210 */ "< Output Choke 4 Inductor Current Sense Resistor Voltage >",
    /* 211 */ "< Output Choke 1 Inductor Current Sense Output Voltage >",
    /* 212 */ "< Output Choke 2 Inductor Current Sense Output Voltage >",
    /* 213 */ "< Output Choke 3 Inductor Current Sense Output Voltage >",
    /* 214 */ "< Output Choke 4 Inductor Current Sense Output Voltage >",
    /* 215 */ "< Output Choke 1 Skim Inductor Voltage >",
    /* 216 */ "< Output Choke 2 Skim Inductor Voltage >",
    /* 217 */ "< Output Choke 3 Skim Inductor Voltage >",
    /* 218 */ "< Output Choke 4 Skim Inductor Voltage >",
    /* 219 */ "< Primary Section Rectifier 2 Anode to Cathode Current >",
    /* 220 */ "< Primary Section Rectifier 2 Anode to Cathode Voltage >",
    /* 221 */ "< Primary Section Switch 2 Drain to Source Current >",
    /* 222 */ "< Primary Section Switch 2 Drain to Source Voltage >",
    /* 223 */ "< Second Stage Output Filter 1 Output Current >",
    /* 224 */ "< Second Stage Output Filter 2 Output Current >",
    /* 225 */ "< Second Stage Output Filter 3 Output Current >",
    /* 226 */ "< Second Stage Output Filter 4 Output Current >",
    /* 227 */ "< First Stage Output Filter 1 Capacitor Current >",
    /* 228 */ "< First Stage Output Filter 2 Capacitor Current >",
    /* 229 */ "< First Stage Output Filter 3 Capacitor Current >",
    /* 230 */ "< First Stage Output Filter 4 Capacitor Current >",
    /* 231 */ "< First Stage Output Filter 1 Capacitor Voltage >",
    /* 232 */ "< First Stage Output Filter 2 Capacitor Voltage >",
    /* 233 */ "< First Stage Output Filter 3 Capacitor Voltage >",
    /* 234 */ "< First Stage Output Filter 4 Capacitor Voltage >",
    /* 235 */ "< First Stage Output Filter 1 Total Capacitor Current >",
    /* 236 */ "< First Stage Output Filter 2 Total Capacitor Current >",
    /* 237 */ "< First Stage Output Filter 3 Total Capacitor Current >",
    /* 238 */ "< First Stage Output Filter 4 Total Capacitor Current >",
    /* 239 */ "< First Stage Output Filter 1 Damping Capacitor Current >",
    /* 240 */ "< First Stage Output Filter 2 Damping Capacitor Current >",
    /* 241 */ "< First Stage Output Filter 3 Damping Capacitor Current >",
    /* 242 */ "< First Stage Output Filter 4 Damping Capacitor Current >",
    /* 243 */ "< First Stage Output Filter 1 Capacitor Damping Resistor Voltage >",
    /* 244 */ "< First Stage Output Filter 2 Capacitor Damping Resistor Voltage >",
    /* 245 */ "< First Stage Output Filter 3 Capacitor Damping Resistor Voltage >",
    /* 246 */ "< First Stage Output Filter 4 Capacitor Damping Resistor Voltage >",
    /* 247 */ "< First Stage Output Filter 1 Damping Capacitor Voltage >",
    /* 248 */ "< First Stage Output Filter 2 Damping Capacitor Voltage >",
    /* 249 */ "< First Stage Output Filter 3 Damping Capacitor Voltage >",
    /* 250 */ "< First Stage Output Filter 4 Damping Capacitor Voltage >",
    /* 251 */ "< First Stage Output Filter 1 Total Voltage >",
    /* 252 */ "< First Stage Output Filter 2 Total Voltage >",
    /* 253 */ "< First Stage Output Filter 3 Total Voltage >",
    /* 254 */ "< First Stage Output Filter 4 Total Voltage >",
    /* 255 */ "< Second Stage Output Filter 1 Capacitor Current >",
    /* 256 */ "< Second Stage Output Filter 2 Capacitor Current >",
    /* 257 */ "< Second Stage Output Filter 3 Capacitor Current >",
    /* 258 */ "< Second Stage Output Filter 4 Capacitor Current >",
    /* 259 */ "< Second Stage Output Filter 1 Capacitor Voltage >",
    /* 260 */ "< Second Stage Output Filter 2 Capacitor Voltage >",
    /* 261 */ "< Second Stage Output Filter 3 Capacitor Voltage >",
    /* 262 */ "< Second Stage Output Filter 4 Capacitor Voltage >",
    /* 263 */ "< Second Stage Output Filter 1 Damping Capacitor Current >",
    /* 264 */ "< Second Stage Output Filter 2 Damping Capacitor Current >",
    /* 265 */ "< Second Stage Output Filter 3 Damping Capacitor Current >",
    /* 266 */ "< Second Stage Output Filter 4 Damping Capacitor Current >",
    /* 267 */ "< Second Stage Output Filter 1 Capacitor Damping Resistor Voltage >",
    /* 268 */ "< Second Stage Output Filter 2 Capacitor Damping Resistor Voltage >",
    /* 269 */ "< Second Stage Output Filter 3 Capacitor Damping Resistor Voltage >",
    /* 270 */ "< Second Stage Output Filter 4 Capacitor Damping Resistor Voltage >",
    /* 271 */ "< Second Stage Output Filter 1 Damping Capacitor Voltage >",
    /* 272 */ "< Second Stage Output Filter 2 Damping Capacitor Voltage >",
    /* 273 */ "< Second Stage Output Filter 3 Damping Capacitor Voltage >",
    /* 274 */ "< Second Stage Output Filter 4 Damping Capacitor Voltage >",
    /* 275 */ "< Second Stage Output Filter 1 Damping Inductor Voltage >",
    /* 276 */ "< Second Stage Output Filter 2 Damping Inductor Voltage >",
    /* 277 */ "< Second Stage Output Filter 3 Damping Inductor Voltage >",
    /* 278 */ "< Second Stage Output Filter 4 Damping Inductor Voltage >",
    /* 279 */ "< Second Stage Output Filter 1 Total Inductor Current >",
    /* 280 */ "< Second Stage Output Filter 2 Total Inductor Current >",
    /* 281 */ "< Second Stage Output Filter 3 Total Inductor Current >",
    /* 282 */ "< Second Stage Output Filter 4 Total Inductor Current >",
    /* 283 */ "< Second Stage Output Filter 1 Inductor Current >",
    /* 284 */ "< Second Stage Output Filter 2 Inductor Current >",
    /* 285 */ "< Second Stage Output Filter 3 Inductor Current >",
    /* 286 */ "< Second Stage Output Filter 4 Inductor Current >",
    /* 287 */ "< Second Stage Output Filter 1 Inductor Damping Resistor Current >",
    /* 288 */ "< Second Stage Output Filter 2 Inductor Damping Resistor Current >",
    /* 289 */ "< Second Stage Output Filter 3 Inductor Damping Resistor Current >",
    /* 290 */ "< Second Stage Output Filter 4 Inductor Damping Resistor Current >",
    /* 291 */ "< Second Stage Output Filter 1 Inductor Damping Resistor Voltage >",
    /* 292 */ "< Second Stage Output Filter 2 Inductor Damping Resistor Voltage >",
    /* 293 */ "< Second Stage Output Filter 3 Inductor Damping Resistor Voltage >",
    /* 294 */ "< Second Stage Output Filter 4 Inductor Damping Resistor Voltage >",
    /* 295 */ "< Second Stage Output Filter 1 Inductor Voltage >",
    /* 296 */ "< Second Stage Output Filter 2 Inductor Voltage >",
    /* 297 */ "< Second Stage Output Filter 3 Inductor Voltage >",
    /* 298 */ "< Second Stage Output Filter 4 Inductor Voltage >",
    /* 299 */ "< First Stage Output Filter 1 Current Sense Resistor Current >",
    /* 300 */ "< First Stage Output Filter 2 Current Sense Resistor Current >",
    /* 301 */ "< First Stage Output Filter 3 Current Sense Resistor Current >",
    /* 302 */ "< First Stage Output Filter 4 Current Sense Resistor Current >",
    /* 303 */ "< First Stage Output Filter 1 Current Sense Resistor Voltage >",
    /* 304 */ "< First Stage Output Filter 2 Current Sense Resistor Voltage >",
    /* 305 */ "< First Stage Output Filter 3 Current Sense Resistor Voltage >",
    /* 306 */ "< First Stage Output Filter 4 Current Sense Resistor Voltage >",
    /* 307 */ "< First Stage Output Filter 1 Current Sense Coupling Capacitor Current >",
    /* 308 */ "< First Stage Output Filter 2 Current Sense Coupling Capacitor Current >",
    /* 309 */ "< First Stage Output Filter 3 Current Sense Coupling Capacitor Current >",
    /* 310 */ "< First Stage Output Filter 4 Current Sense Coupling Capacitor Current >",
    /* 311 */ "< First Stage Output Filter 1 Current Sense Coupling Capacitor Voltage >",
    /* 312 */ "< First Stage Output Filter 2 Current Sense Coupling Capacitor Voltage >",
    /* 313 */ "< First Stage Output Filter 3 Current Sense Coupling Capacitor Voltage >",
    /* 314 */ "< First Stage Output Filter 4 Current Sense Coupling Capacitor Voltage >",
    /* 315 */ "< First Stage Output Filter 1 Current Sense Rectifier 1 Anode to Cathode Current >",
    /* 316 */ "< First Stage Output Filter 2 Current Sense Rectifier 1 Anode to Cathode Current >",
    /* 317 */ "< First Stage Output Filter 3 Current Sense Rectifier 1 Anode to Cathode Current >",
    /* 318 */ "< First Stage Output Filter 4 Current Sense Rectifier 1 Anode to Cathode Current >",
    /* 319 */ "< First Stage Output Filter 1 Current Sense Rectifier 1 Anode to Cathode Voltage >",
    /* 320 */ "< First Stage Output Filter 2 Current Sense Rectifier 1 Anode to Cathode Voltage >",
    /* 321 */ "< First Stage Output Filter 3 Current Sense Rectifier 1 Anode to Cathode Voltage >",
    /* 322 */ "< First Stage Output Filter 4 Current Sense Rectifier 1 Anode to Cathode Voltage >",
    /* 323 */ "< First Stage Output Filter 1 Current Sense Rectifier 2 Anode to Cathode Current >",
    /* 324 */ "< First Stage Output Filter 2 Current Sense Rectifier 2 Anode to Cathode Current >",
    /* 325 */ "< First Stage Output Filter 3 Current Sense Rectifier 2 Anode to Cathode Current >",
    /* 326 */ "< First Stage Output Filter 4 Current Sense Rectifier 2 Anode to Cathode Current >",
    /* 327 */ "< First Stage Output Filter 1 Current Sense Rectifier 2 Anode to Cathode Voltage >",
    /* 328 */ "< First Stage Output Filter 2 Current Sense Rectifier 2 Anode to Cathode Voltage >",
    /* 329 */ "< First Stage Output Filter 3 Current Sense Rectifier 2 Anode to Cathode Voltage >",
    /* 330 */ "< First Stage Output Filter 4 Current Sense Rectifier 2 Anode to Cathode Voltage >",
    /* 331 */ "< First Stage Output Filter 1 Current Sense Output Voltage >",
    /* 332 */ "< First Stage Output Filter 2 Current Sense Output Voltage >",
    /* 333 */ "< First Stage Output Filter 3 Current Sense Output Voltage >",
    /* 334 */ "< First Stage Output Filter 4 Current Sense Output Voltage >",
    /* 335 */ "< First Stage Output Filter 1 Lower Current Sense Bias Current >",
    /* 336 */ "< First Stage Output Filter 2 Lower Current Sense Bias Current >",
    /* 337 */ "< First Stage Output Filter 3 Lower Current Sense Bias Current >",
    /* 338 */ "< First Stage Output Filter 4 Lower Current Sense Bias Current >",
    /* 339 */ "< First Stage Output Filter 1 Upper Current Sense Bias Resistor Voltage >",
    /* 340 */ "< First Stage Output Filter 2 Upper Current Sense Bias Resistor Voltage >",
    /* 341 */ "< First Stage Output Filter 3 Upper Current Sense Bias Resistor Voltage >",
    /* 342 */ "< First Stage Output Filter 4 Upper Current Sense Bias Resistor Voltage >",
    /* 343 */ "< First Stage Output Filter 1 Upper Current Sense Bias Current >",
    /* 344 */ "< First Stage Output Filter 2 Upper Current Sense Bias Current >",
    /* 345 */ "< First Stage Output Filter 3 Upper Current Sense Bias Current >",
    /* 346 */ "< First Stage Output Filter 4 Upper Current Sense Bias Current >",
    /* 347 */ "< First Stage Output Filter 1 Current Sense Transformer Primary Current >",
    /* 348 */ "< First Stage Output Filter 2 Current Sense Transformer Primary Current >",
    /* 349 */ "< First Stage Output Filter 3 Current Sense Transformer Primary Current >",
    /* 350 */ "< First Stage Output Filter 4 Current Sense Transformer Primary Current >",
    /* 351 */ "< First Stage Output Filter 1 Current Sense Transformer Primary Voltage >",
    /* 352 */ "< First Stage Output Filter 2 Current Sense Transformer Primary Voltage >",
    /* 353 */ "< First Stage Output Filter 3 Current Sense Transformer Primary Voltage >",
    /* 354 */ "< First Stage Output Filter 4 Current Sense Transformer Primary Voltage >",
    /* 355 */ "< First Stage Output Filter 1 Current Sense Transformer Secondary Current >",
    /* 356 */ "< First Stage Output Filter 2 Current Sense Transformer Secondary Current >",
    /* 357 */ "< First Stage Output Filter 3 Current Sense Transformer Secondary Current >",
    /* 358 */ "< First Stage Output Filter 4 Current Sense Transformer Secondary Current >",
    /* 359 */ "< First Stage Output Filter 1 Current Sense Transformer Secondary Voltage >",
    /* 360 */ "< First Stage Output Filter 2 Current Sense Transformer Secondary Voltage >",
    /* 361 */ "< First Stage Output Filter 3 Current Sense Transformer Secondary Voltage >",
    /* 362 */ "< First Stage Output Filter 4 Current Sense Transformer Secondary Voltage >",
    /* 363 */ "< Load Network 1 Total Load Voltage >",
    /* 364 */ "< Load Network 2 Total Load Voltage >",
    /* 365 */ "< Load Network 3 Total Load Voltage >",
    /* 366 */ "< Load Network 4 Total Load Voltage >",
    /* 367 */ "< Second Stage Output Filter 1 Output Voltage >",
    /* 368 */ "< Second Stage Output Filter 2 Output Voltage >",
    /* 369 */ "< Second Stage Output Filter 3 Output Voltage >",
    /* 370 */ "< Second Stage Output Filter 4 Output Voltage >",
    /* 371 */ "< Load Network 1 First Stage Load Inductor Voltage >",
    /* 372 */ "< Load Network 2 First Stage Load Inductor Voltage >",
    /* 373 */ "< Load Network 3 First Stage Load Inductor Voltage >",
    /* 374 */ "< Load Network 4 First Stage Load Inductor Voltage >",
    /* 375 */ "< Load Network 1 First Stage Load Resistor Current >",
    /* 376 */ "< Load Network 2 First Stage Load Resistor Current >",
    /* 377 */ "< Load Network 3 First Stage Load Resistor Current >",
    /* 378 */ "< Load Network 4 First Stage Load Resistor Current >",
    /* 379 */ "< Load Network 1 First Stage Load Resistor Voltage >",
    /* 380 */ "< Load Network 2 First Stage Load Resistor Voltage >",
    /* 381 */ "< Load Network 3 First Stage Load Resistor Voltage >",
    /* 382 */ "< Load Network 4 First Stage Load Resistor Voltage >",
    /* 383 */ "< Load Network 1 Second Stage Load Inductor Voltage >",
    /* 384 */ "< Load Network 2 Second Stage Load Inductor Voltage >",
    /* 385 */ "< Load Network 3 Second Stage Load Inductor Voltage >",
    /* 386 */ "< Load Network 4 Second Stage Load Inductor Voltage >",
    /* 387 */ "< Load Network 1 Second Stage Load Resistor Voltage >",
    /* 388 */ "< Load Network 2 Second Stage Load Resistor Voltage >",
    /* 389 */ "< Load Network 3 Second Stage Load Resistor Voltage >",
    /* 390 */ "< Load Network 4 Second Stage Load Resistor Voltage >",
    /* 391 */ "< Load Network 1 Second Stage Load Voltage >",
    /* 392 */ "< Load Network 2 Second Stage Load Voltage >",
    /* 393 */ "< Load Network 3 Second Stage Load Voltage >",
    /* 394 */ "< Load Network 4 Second Stage Load Voltage >",
    /* 395 */ "< Load Network 1 Current Source Voltage >",
    /* 396 */ "< Load Network 2 Current Source Voltage >",
    /* 397 */ "< Load Network 3 Current Source Voltage >",
    /* 398 */ "< Load Network 4 Current Source Voltage >",
    /* 399 */ "< Load Network 1 Current Source Current >",
    /* 400 */ "< Load Network 2 Current Source Current >",
    /* 401 */ "< Load Network 3 Current Source Current >",
    /* 402 */ "< Load Network 4 Current Source Current >",
    /* 403 */ "< Load Network 1 Load Current >",
    /* 404 */ "< Load Network 2 Load Current >",
    /* 405 */ "< Load Network 3 Load Current >",
    /* 406 */ "< Load Network 4 Load Current >",
    /* 407 */ "< Control Section Current Error Amp Inverting Input Voltage >",
    /* 408 */ "< Control Section C4 Capacitor Current >",
    /* 409 */ "< Control Section C4 Capacitor Voltage >",
    /* 410 */ "< Control Section C5 Capacitor Current >",
    /* 411 */ "< Control Section C5 Capacitor Voltage >",
    /* 412 */ "< Control Section R5 Resistor Voltage >",
    /* 413 */ "< Control Section R5 Resistor Current >",
    /* 414 */ "< Control Section R4 Resistor Voltage >",
    /* 415 */ "< Control Section Current Error Amp Output Voltage >",
    /* 416 */ "< Control Section Current Limit Comparator Differential Input Voltage >",
    /* 417 */ "< Control Section Current Limit Comparator Output Voltage >",
    /* 418 */ "< Control Section PWM Comparator Differential Input Voltage >",
    /* 419 */ "< Control Section C8 Capacitor Voltage >",
    /* 420 */ "< Control Section R10 Resistor Voltage >",
    /* 421 */ "< Control Section R9 Resistor Current >",
    /* 422 */ "< Control Section R9 Resistor Voltage >",
    /* 423 */ "< Voltage Error Amp R2 Resistor Current >",
    /* 424 */ "< Control Section PWM Comparator Inverting Input Voltage >",
    /* 425 */ "< Control Section C7 Capacitor Current >",
    /* 426 */ "< Control Section C7 Capacitor Voltage >",
    /* 427 */ "< Control Section R8 Resistor Current >",
    /* 428 */ "< Control Section R8 Resistor Voltage >",
    /* 429 */ "< Voltage Error Amp R2 Resistor Voltage >",
    /* 430 */ "< Voltage Error Amp C1 Capacitor Current >",
    /* 431 */ "< Voltage Error Amp C2 Capacitor Current >",
    /* 432 */ "< Voltage Error Amp R.FB Resistor Voltage >",
    /* 433 */ "< Opto-Isolator Input Error Voltage >",
    /* 434 */ "< Control Section PWM Comparator Output Voltage >",
    /* 435 */ "< Control Section PWM Comparator Non-Inverting Input Voltage >",
    /* 436 */ "< Control Section R9 Resistor Current >",
    /* 437 */ "< Control Section PWM Control Voltage >",
    /* 438 */ "< Opto-Isolator R.DRIVE Resistor Current >",
    /* 439 */ "< Control Section VISCL Current Limit Feedback Voltage >",
    /* 440 */ "< Control Section UI Current Loop Injection Voltage >",
    /* 441 */ "< Control Section VIS Current Feedback Voltage >",
    /* 442 */ "< Opto-Isolator Q.DRIVE Transistor Current >",
    /* 443 */ "< Voltage Error Amp Feedback Voltage >",
    /* 444 */ "< Opto-Isolator Op Amp Inverting Input Voltage >",
    /* 445 */ "< Opto-Isolator R.AMP1 Resistor Voltage >",
    /* 446 */ "< Opto-Isolator R.AMP2 Resistor Voltage >",
    /* 447 */ "< Opto-Isolator R.AMP1 Resistor Current >",
    /* 448 */ "< Opto-Isolator R.DRIVE Resistor Voltage >",
    /* 449 */ "< Opto-Isolator Q.DRIVE Transistor Voltage >",
    /* 450 */ "< Opto-Isolator D.LED Light Emitting Diode Current >",
    /* 451 */ "< Opto-Isolator D.LED Light Emitting Diode Voltage >",
    /* 452 */ "< Opto-Isolator R.LOAD Resistor Current >",
    /* 453 */ "< Opto-Isolator R.LOAD Resistor Voltage >",
    /* 454 */ "< Opto-Isolator C.POLE Capacitor Current >",
    /* 455 */ "< Opto-Isolator C.POLE Capacitor Voltage >",
    /* 456 */ "< Opto-Isolator Optically Coupled Error Voltage >",
    /* 457 */ "< Opto-Isolator Q.PHOTO Transistor Current >",
    /* 458 */ "< Opto-Isolator Q.PHOTO Transistor Voltage >",
    /* 459 */ "< Control Section Q1 Emitter Voltage >",
    /* 460 */ "< Voltage Error Amp V.REF Reference Voltage >",
    /* 461 */ "< Control Section C6 Capacitor Current >",
    /* 462 */ "< Control Section C6 Capacitor Voltage >",
    /* 463 */ "< Control Section Reset Switch Current >",
    /* 464 */ "< Control Section Saw Tooth Clock Voltage >",
    /* 465 */ "< Control Section R7 Resistor Current >",
    /* 466 */ "< Control Section R7 Resistor Voltage >",
    /* 467 */ "< Control Section Soft Start Capacitor Voltage >",
    /* 468 */ "< Control Section Soft Start Control Voltage >",
    /* 469 */ "< Voltage Error Amp Error Amp Inverting Input Voltage >",
    /* 470 */ "< Voltage Error Amp R.FB Resistor Current >",
    /* 471 */ "< Voltage Error Amp C2 Capacitor Voltage >",
    /* 472 */ "< Voltage Error Amp C3 Capacitor Current >",
    /* 473 */ "< Voltage Error Amp C3 Capacitor Voltage >",
    /* 474 */ "< Voltage Error Amp R3 Resistor Current >",
    /* 475 */ "< Voltage Error Amp R3 Resistor Voltage >",
    /* 476 */ "< Voltage Error Amp R1 Resistor Current >",
    /* 477 */ "< Voltage Error Amp R1 Resistor Voltage >",
    /* 478 */ "< Voltage Error Amp C1 Capacitor Voltage >",
    /* 479 */ "< Control Section U.E Error Offset/Injection Voltage >",
    /* 480 */ "< Control Section Soft Start Limited Error Voltage >",
    /* 481 */ "< Voltage Error Amp Error Amp Output Voltage >",
    /* 482 */ "< Opto-Isolator R.AMP2 Resistor Current >",
    /* 483 */ "< Opto-Isolator Op Amp Non-Inverting Input Voltage >",
    /* 484 */ "< Opto-Isolator Opto-Coupler Reference Voltage >",
    /* 485 */ "< Control Section R9 Resistor Voltage >",
    /* 486 */ "< Control Section C.FF Capacitor Voltage >",
    /* 487 */ "< Control Section C.FF Capacitor Current >",
    /* 488 */ "< Control Section R.FF Resistor Voltage >",
    /* 489 */ "< Control Section R.FF Resistor Current >",
    /* 490 */ "< Control Section Reset Switch Voltage >",
    /* 491 */ "< Control Section R10 Resistor Current >",
    /* 492 */ "< Control Section C8 Capacitor Current >",
    /* 493 */ "< Control Section R4 Resistor Current >",
    /* 494 */ "< Input Capacitor High Side Rectifier Input Voltage >",
    /* 495 */ "< Input Capacitor Low Side Rectifier Input Voltage >",
    /* 496 */ "< Primary Section Switch 1 Drain Voltage >",
    /* 497 */ "< Primary Section Switch 2 Drain Voltage >",
    /* 498 */ "< Primary Section Switch 2 Source Voltage >",
    /* 499 */ "< Primary Section Switch 1 Source Voltage >",
    /* 500 */ "< Primary Section Reset Rectifier Anode Voltage >",
    /* 501 */ "< Primary Section Clamp Switch Drain Voltage >",
    /* 502 */ "< Primary Section Clamp Switch Source Voltage >",
    /* 503 */ "< Primary Section Clamp Diode Cathode Voltage >",
    /* 504 */ "< Primary Section Clamp Diode Anode Voltage >",
    /* 505 */ "< Line Rectifier DC AC/Phase 0 Input Filter Voltage >",
    /* 506 */ "< Line Rectifier AC Phase 1 Input Filter Voltage >",
    /* 507 */ "< Line Rectifier AC Phase 2 Input Filter Voltage >",
    /* 508 */ "< Opto-Isolator Driver Source Voltage >",
    /* 509 */ "< Opto-Isolator Bias Voltage >",
};
static_assert(std::size(kTimeVarNames) == kTimeVarCount);

// Members of each id list, in the order the editor shows them.
const uint16_t kList0[] = {39, 48, 51};  // Line Source, button 1607 (phase 0)
const uint16_t kList1[] = {40, 49, 52};  // Line Source, button 1608 (phase 1)
const uint16_t kList2[] = {41, 50, 53};  // Line Source, button 1609 (phase 2)
const uint16_t kList3[] = {15, 18, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 0
const uint16_t kList4[] = {16, 19, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 0
const uint16_t kList5[] = {17, 20, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 0
const uint16_t kList6[] = {15, 18, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 1
const uint16_t kList7[] = {16, 19, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 1
const uint16_t kList8[] = {17, 20, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 1
const uint16_t kList9[] = {15, 18, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 2
const uint16_t kList10[] = {16, 19, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 2
const uint16_t kList11[] = {17, 20, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 2
const uint16_t kList12[] = {0, 3, 15, 18, 27, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 3
const uint16_t kList13[] = {1, 4, 16, 19, 28, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 3
const uint16_t kList14[] = {2, 5, 17, 20, 29, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 3
const uint16_t kList15[] = {0, 3, 6, 9, 12, 15, 18, 27, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 4
const uint16_t kList16[] = {1, 4, 7, 10, 13, 16, 19, 28, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 4
const uint16_t kList17[] = {2, 5, 8, 11, 14, 17, 20, 29, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 4
const uint16_t kList18[] = {0, 3, 15, 18, 27, 30, 33, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 5
const uint16_t kList19[] = {1, 4, 16, 19, 28, 31, 34, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 5
const uint16_t kList20[] = {2, 5, 17, 20, 29, 32, 35, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 5
const uint16_t kList21[] = {0, 3, 15, 18, 21, 24, 27, 30, 33, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 6
const uint16_t kList22[] = {1, 4, 16, 19, 22, 25, 28, 31, 34, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 6
const uint16_t kList23[] = {2, 5, 17, 20, 23, 26, 29, 32, 35, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 6
const uint16_t kList24[] = {0, 3, 6, 9, 12, 15, 18, 27, 30, 33, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 7
const uint16_t kList25[] = {1, 4, 7, 10, 13, 16, 19, 28, 31, 34, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 7
const uint16_t kList26[] = {2, 5, 8, 11, 14, 17, 20, 29, 32, 35, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 7
const uint16_t kList27[] = {0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 36, 42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 8
const uint16_t kList28[] = {1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 34, 37, 43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 8
const uint16_t kList29[] = {2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 32, 35, 38, 44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 8
const uint16_t kList30[] = {42, 45};  // Line Filter, button 1610 (phase 0), line filter variant 9
const uint16_t kList31[] = {43, 46};  // Line Filter, button 1611 (phase 1), line filter variant 9
const uint16_t kList32[] = {44, 47};  // Line Filter, button 1612 (phase 2), line filter variant 9
const uint16_t kList33[] = {42, 58, 59, 505};  // Line Rectifier, variant 0
const uint16_t kList34[] = {42, 58, 59, 60, 61, 505};  // Line Rectifier, variant 1, line source DC or single phase AC
const uint16_t kList35[] = {42, 58, 59, 60, 61, 68, 69, 505, 506, 43};  // Line Rectifier, variant 1, two phase AC
const uint16_t kList36[] = {42, 58, 59, 60, 61, 68, 69, 72, 73, 505, 506, 507, 43, 44};  // Line Rectifier, variant 1, three phase AC
const uint16_t kList37[] = {42, 55, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 505, 56};  // Line Rectifier, variant 2
const uint16_t kList38[] = {42, 55, 56, 57, 58, 59, 60, 61, 62, 63, 505};  // Line Rectifier, variant 3
const uint16_t kList39[] = {42, 58, 59, 60, 61, 62, 63, 68, 69, 70, 71, 505, 506, 43, 56};  // Line Rectifier, variant 4, two phase AC
const uint16_t kList40[] = {42, 58, 59, 60, 61, 62, 63, 68, 69, 70, 71, 72, 73, 74, 75, 505, 506, 507, 43, 44, 56};  // Line Rectifier, variant 4, three phase AC
const uint16_t kList41[] = {42, 55, 56, 57, 58, 59, 60, 61, 62, 63, 68, 69, 70, 71, 505, 506, 43};  // Line Rectifier, variant 5, two phase AC
const uint16_t kList42[] = {42, 55, 56, 57, 58, 59, 60, 61, 62, 63, 68, 69, 70, 71, 72, 73, 74, 75, 505, 506, 507, 43, 44};  // Line Rectifier, variant 5, three phase AC
const uint16_t kList43[] = {81, 82, 87, 88, 89, 106, 107, 108};  // Input Capacitor, variant 0
const uint16_t kList44[] = {81, 82, 83, 84, 87, 88, 89, 106, 107, 108};  // Input Capacitor, variant 1
const uint16_t kList45[] = {77, 78, 81, 82, 85, 86, 87, 88, 89, 106, 107, 108, 113, 494, 495};  // Input Capacitor, variant 2
const uint16_t kList46[] = {77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 106, 107, 108, 113, 494, 495};  // Input Capacitor, variant 3
const uint16_t kList47[] = {94, 95, 96, 97, 99, 100, 101, 102, 219, 220, 115, 116, 221, 222, 119, 120, 121, 122, 114, 496, 497, 498, 499};  // Primary Section, variant 0
const uint16_t kList48[] = {94, 95, 97, 98, 99, 100, 101, 102, 219, 220, 115, 116, 221, 222, 496, 497, 498, 499};  // Primary Section, variant 1
const uint16_t kList49[] = {94, 95, 96, 97, 99, 100, 109, 110, 111, 112, 115, 116, 119, 120, 121, 122, 114, 496, 499, 500};  // Primary Section, variant 2
const uint16_t kList50[] = {94, 95, 97, 98, 99, 100, 109, 110, 111, 112, 115, 116, 496, 499, 500};  // Primary Section, variant 3
const uint16_t kList51[] = {94, 95, 96, 97, 99, 100, 115, 116, 119, 120, 121, 122, 76, 105, 114, 496, 499};  // Primary Section, variant 4
const uint16_t kList52[] = {94, 95, 97, 98, 99, 100, 115, 116, 76, 105, 496, 499};  // Primary Section, variant 5
const uint16_t kList53[] = {90, 91, 92, 94, 95, 96, 97, 99, 100, 115, 116, 117, 118, 119, 120, 121, 122, 114, 496, 499, 501, 502};  // Primary Section, variant 6
const uint16_t kList54[] = {90, 91, 92, 94, 95, 97, 98, 99, 100, 115, 116, 117, 118, 496, 499, 501, 502};  // Primary Section, variant 7
const uint16_t kList55[] = {90, 91, 92, 93, 94, 95, 96, 97, 99, 100, 103, 104, 115, 116, 119, 120, 121, 122, 114, 496, 499, 503, 504};  // Primary Section, variant 8
const uint16_t kList56[] = {90, 91, 92, 93, 94, 95, 97, 98, 99, 100, 103, 104, 115, 116, 496, 499, 503, 504};  // Primary Section, variant 9
const uint16_t kList58[] = {127, 131, 135, 139, 143, 151, 155, 123, 163, 167, 171, 175, 179, 183, 187, 191, 147, 159};  // Secondary Section 1, synchronous rectifiers
const uint16_t kList59[] = {128, 132, 136, 140, 144, 152, 156, 124, 164, 168, 172, 176, 180, 184, 188, 192, 148, 160};  // Secondary Section 2, synchronous rectifiers
const uint16_t kList60[] = {129, 133, 137, 141, 145, 153, 157, 125, 165, 169, 173, 177, 181, 185, 189, 193, 149, 161};  // Secondary Section 3, synchronous rectifiers
const uint16_t kList61[] = {130, 134, 138, 142, 146, 154, 158, 126, 166, 170, 174, 178, 182, 186, 190, 194, 150, 162};  // Secondary Section 4, synchronous rectifiers
const uint16_t kList62[] = {127, 131, 135, 139, 143, 151, 155, 123, 163, 183, 187, 191, 147, 159};  // Secondary Section 1, diode rectifiers
const uint16_t kList63[] = {128, 132, 136, 140, 144, 152, 156, 124, 164, 184, 188, 192, 148, 160};  // Secondary Section 2, diode rectifiers
const uint16_t kList64[] = {129, 133, 137, 141, 145, 153, 157, 125, 165, 185, 189, 193, 149, 161};  // Secondary Section 3, diode rectifiers
const uint16_t kList65[] = {130, 134, 138, 142, 146, 154, 158, 126, 166, 186, 190, 194, 150, 162};  // Secondary Section 4, diode rectifiers
const uint16_t kList66[] = {199, 203, 207, 211};  // Output Choke 1, variant 0
const uint16_t kList67[] = {200, 204, 208, 212};  // Output Choke 2, variant 0
const uint16_t kList68[] = {201, 205, 209, 213};  // Output Choke 3, variant 0
const uint16_t kList69[] = {202, 206, 210, 214};  // Output Choke 4, variant 0
const uint16_t kList70[] = {199, 203, 207, 211, 215};  // Output Choke 1, variant 1
const uint16_t kList71[] = {200, 204, 208, 212, 216};  // Output Choke 2, variant 1
const uint16_t kList72[] = {201, 205, 209, 213, 217};  // Output Choke 3, variant 1
const uint16_t kList73[] = {202, 206, 210, 214, 218};  // Output Choke 4, variant 1
const uint16_t kList74[] = {227, 231, 235, 251};  // First Stage Output Filter 1, variant 0
const uint16_t kList75[] = {228, 232, 236, 252};  // First Stage Output Filter 2, variant 0
const uint16_t kList76[] = {229, 233, 237, 253};  // First Stage Output Filter 3, variant 0
const uint16_t kList77[] = {230, 234, 238, 254};  // First Stage Output Filter 4, variant 0
const uint16_t kList78[] = {227, 231, 235, 239, 243, 247, 251};  // First Stage Output Filter 1, variant 1
const uint16_t kList79[] = {228, 232, 236, 240, 244, 248, 252};  // First Stage Output Filter 2, variant 1
const uint16_t kList80[] = {229, 233, 237, 241, 245, 249, 253};  // First Stage Output Filter 3, variant 1
const uint16_t kList81[] = {230, 234, 238, 242, 246, 250, 254};  // First Stage Output Filter 4, variant 1
const uint16_t kList82[] = {227, 231, 235, 251, 299, 303, 307, 311, 315, 319, 323, 327, 331, 335, 339, 343, 347, 351, 355, 359};  // First Stage Output Filter 1, variant 2
const uint16_t kList83[] = {228, 232, 236, 252, 300, 304, 308, 312, 316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 356, 360};  // First Stage Output Filter 2, variant 2
const uint16_t kList84[] = {229, 233, 237, 253, 301, 305, 309, 313, 317, 321, 325, 329, 333, 337, 341, 345, 349, 353, 357, 361};  // First Stage Output Filter 3, variant 2
const uint16_t kList85[] = {230, 234, 238, 254, 302, 306, 310, 314, 318, 322, 326, 330, 334, 338, 342, 346, 350, 354, 358, 362};  // First Stage Output Filter 4, variant 2
const uint16_t kList86[] = {227, 231, 235, 239, 243, 247, 251, 299, 303, 307, 311, 315, 319, 323, 327, 331, 335, 339, 343, 347, 351, 355, 359};  // First Stage Output Filter 1, variant 3
const uint16_t kList87[] = {228, 232, 236, 240, 244, 248, 252, 300, 304, 308, 312, 316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 356, 360};  // First Stage Output Filter 2, variant 3
const uint16_t kList88[] = {229, 233, 237, 241, 245, 249, 253, 301, 305, 309, 313, 317, 321, 325, 329, 333, 337, 341, 345, 349, 353, 357, 361};  // First Stage Output Filter 3, variant 3
const uint16_t kList89[] = {230, 234, 238, 242, 246, 250, 254, 302, 306, 310, 314, 318, 322, 326, 330, 334, 338, 342, 346, 350, 354, 358, 362};  // First Stage Output Filter 4, variant 3
const uint16_t kList90[] = {279, 367, 223};  // Second Stage Output Filter 1, variant 0
const uint16_t kList91[] = {280, 368, 224};  // Second Stage Output Filter 2, variant 0
const uint16_t kList92[] = {281, 369, 225};  // Second Stage Output Filter 3, variant 0
const uint16_t kList93[] = {282, 370, 226};  // Second Stage Output Filter 4, variant 0
const uint16_t kList94[] = {255, 259, 279, 283, 295, 367, 223};  // Second Stage Output Filter 1, variant 1
const uint16_t kList95[] = {256, 260, 280, 284, 296, 368, 224};  // Second Stage Output Filter 2, variant 1
const uint16_t kList96[] = {257, 261, 281, 285, 297, 369, 225};  // Second Stage Output Filter 3, variant 1
const uint16_t kList97[] = {258, 262, 282, 286, 298, 370, 226};  // Second Stage Output Filter 4, variant 1
const uint16_t kList98[] = {255, 259, 279, 283, 287, 291, 295, 367, 223};  // Second Stage Output Filter 1, variant 2
const uint16_t kList99[] = {256, 260, 280, 284, 288, 292, 296, 368, 224};  // Second Stage Output Filter 2, variant 2
const uint16_t kList100[] = {257, 261, 281, 285, 289, 293, 297, 369, 225};  // Second Stage Output Filter 3, variant 2
const uint16_t kList101[] = {258, 262, 282, 286, 290, 294, 298, 370, 226};  // Second Stage Output Filter 4, variant 2
const uint16_t kList102[] = {255, 259, 263, 267, 271, 279, 283, 295, 367, 223};  // Second Stage Output Filter 1, variant 3
const uint16_t kList103[] = {256, 260, 264, 268, 272, 280, 284, 296, 368, 224};  // Second Stage Output Filter 2, variant 3
const uint16_t kList104[] = {257, 261, 265, 269, 273, 281, 285, 297, 369, 225};  // Second Stage Output Filter 3, variant 3
const uint16_t kList105[] = {258, 262, 266, 270, 274, 282, 286, 298, 370, 226};  // Second Stage Output Filter 4, variant 3
const uint16_t kList106[] = {255, 259, 275, 279, 283, 287, 291, 295, 367, 195, 223};  // Second Stage Output Filter 1, variant 4
const uint16_t kList107[] = {256, 260, 276, 280, 284, 288, 292, 296, 368, 196, 224};  // Second Stage Output Filter 2, variant 4
const uint16_t kList108[] = {257, 261, 277, 281, 285, 289, 293, 297, 369, 197, 225};  // Second Stage Output Filter 3, variant 4
const uint16_t kList109[] = {258, 262, 278, 282, 286, 290, 294, 298, 370, 198, 226};  // Second Stage Output Filter 4, variant 4
const uint16_t kList110[] = {255, 259, 263, 267, 271, 279, 283, 287, 291, 295, 367, 223};  // Second Stage Output Filter 1, variant 5
const uint16_t kList111[] = {256, 260, 264, 268, 272, 280, 284, 288, 292, 296, 368, 224};  // Second Stage Output Filter 2, variant 5
const uint16_t kList112[] = {257, 261, 265, 269, 273, 281, 285, 289, 293, 297, 369, 225};  // Second Stage Output Filter 3, variant 5
const uint16_t kList113[] = {258, 262, 266, 270, 274, 282, 286, 290, 294, 298, 370, 226};  // Second Stage Output Filter 4, variant 5
const uint16_t kList114[] = {255, 259, 263, 267, 271, 275, 279, 283, 287, 291, 295, 367, 195, 223};  // Second Stage Output Filter 1, variant 6
const uint16_t kList115[] = {256, 260, 264, 268, 272, 276, 280, 284, 288, 292, 296, 368, 196, 224};  // Second Stage Output Filter 2, variant 6
const uint16_t kList116[] = {257, 261, 265, 269, 273, 277, 281, 285, 289, 293, 297, 369, 197, 225};  // Second Stage Output Filter 3, variant 6
const uint16_t kList117[] = {258, 262, 266, 270, 274, 278, 282, 286, 290, 294, 298, 370, 198, 226};  // Second Stage Output Filter 4, variant 6
const uint16_t kList118[] = {387, 391, 403, 363};  // Load Network 1, variant 0
const uint16_t kList119[] = {388, 392, 404, 364};  // Load Network 2, variant 0
const uint16_t kList120[] = {389, 393, 405, 365};  // Load Network 3, variant 0
const uint16_t kList121[] = {390, 394, 406, 366};  // Load Network 4, variant 0
const uint16_t kList122[] = {383, 387, 391, 403, 363};  // Load Network 1, variant 1
const uint16_t kList123[] = {384, 388, 392, 404, 364};  // Load Network 2, variant 1
const uint16_t kList124[] = {385, 389, 393, 405, 365};  // Load Network 3, variant 1
const uint16_t kList125[] = {386, 390, 394, 406, 366};  // Load Network 4, variant 1
const uint16_t kList126[] = {391, 395, 399, 403, 363};  // Load Network 1, variant 2
const uint16_t kList127[] = {392, 396, 400, 404, 364};  // Load Network 2, variant 2
const uint16_t kList128[] = {393, 397, 401, 405, 365};  // Load Network 3, variant 2
const uint16_t kList129[] = {394, 398, 402, 406, 366};  // Load Network 4, variant 2
const uint16_t kList130[] = {371, 375, 379, 383, 387, 391, 395, 399, 403, 363};  // Load Network 1, variant 3
const uint16_t kList131[] = {372, 376, 380, 384, 388, 392, 396, 400, 404, 364};  // Load Network 2, variant 3
const uint16_t kList132[] = {373, 377, 381, 385, 389, 393, 397, 401, 405, 365};  // Load Network 3, variant 3
const uint16_t kList133[] = {374, 378, 382, 386, 390, 394, 398, 402, 406, 366};  // Load Network 4, variant 3
const uint16_t kList134[] = {443, 460, 469, 471, 472, 473, 474, 475, 476, 477, 478, 481, 423, 429, 430, 431};  // Voltage Error Amplifier, variant 0
const uint16_t kList135[] = {443, 460, 469, 471, 472, 473, 474, 475, 476, 477, 481, 431};  // Voltage Error Amplifier, variant 1
const uint16_t kList136[] = {443, 460, 469, 471, 474, 475, 476, 477, 481, 431};  // Voltage Error Amplifier, variant 2
const uint16_t kList137[] = {443, 460, 469, 472, 473, 476, 477, 481};  // Voltage Error Amplifier, variant 3
const uint16_t kList138[] = {443, 460, 469, 470, 471, 472, 473, 474, 475, 476, 477, 478, 481, 423, 429, 430, 431, 432};  // Voltage Error Amplifier, variant 4
const uint16_t kList139[] = {443, 460, 469, 470, 471, 472, 473, 474, 475, 476, 477, 481, 431, 432};  // Voltage Error Amplifier, variant 5
const uint16_t kList140[] = {443, 460, 469, 470, 471, 474, 475, 476, 477, 481, 431, 432};  // Voltage Error Amplifier, variant 6
const uint16_t kList141[] = {443, 460, 469, 470, 472, 473, 476, 477, 481, 432};  // Voltage Error Amplifier, variant 7
const uint16_t kList142[] = {448, 450, 451, 452, 453, 456, 457, 458, 433, 438, 508, 509};  // Opto-Isolator, variant 0
const uint16_t kList143[] = {448, 449, 450, 451, 452, 453, 456, 457, 458, 433, 438, 442, 508, 509};  // Opto-Isolator, variant 1
const uint16_t kList144[] = {448, 450, 451, 452, 453, 454, 455, 456, 457, 458, 433, 438, 508, 509};  // Opto-Isolator, variant 2
const uint16_t kList145[] = {444, 445, 446, 447, 448, 449, 450, 451, 452, 453, 456, 457, 458, 433, 438, 442, 482, 483, 484, 508, 509};  // Opto-Isolator, variant 3
const uint16_t kList146[] = {444, 445, 446, 447, 448, 450, 451, 452, 453, 456, 457, 458, 433, 438, 482, 483, 484, 508, 509};  // Opto-Isolator, variant 4
const uint16_t kList147[] = {444, 445, 446, 447, 448, 450, 451, 452, 453, 454, 455, 456, 457, 458, 433, 438, 482, 483, 484, 508, 509};  // Opto-Isolator, variant 5
const uint16_t kList148[] = {456};  // Opto-Isolator, variant 6
const uint16_t kList149[] = {416, 417, 418, 424, 425, 426, 427, 428, 434, 435, 436, 437, 439, 440, 441, 459, 461, 462, 464, 465, 466, 467, 468, 479, 480, 485};  // Control Section, variant 0
const uint16_t kList150[] = {416, 417, 418, 424, 434, 435, 437, 439, 487, 486, 463, 489, 488, 467, 468, 479, 480, 490};  // Control Section, variant 1
const uint16_t kList151[] = {416, 417, 418, 424, 434, 435, 437, 439, 464, 467, 468, 479, 480};  // Control Section, variant 2
const uint16_t kList152[] = {416, 417, 418, 424, 434, 435, 437, 439, 440, 441, 461, 462, 465, 466, 467, 468, 479, 480, 421, 422, 491, 420, 492, 419};  // Control Section, variant 3
const uint16_t kList153[] = {407, 408, 409, 410, 411, 412, 413, 414, 415, 416, 417, 418, 424, 434, 435, 437, 439, 440, 441, 464, 467, 468, 479, 480, 493};  // Control Section, variant 4

struct ListSpec {
    const uint16_t* ids;
    uint16_t count;
};

template <std::size_t N>
constexpr ListSpec Members(const uint16_t (&ids)[N]) {
    return {ids, uint16_t(N)};
}

// List 57 is never filled.
const ListSpec kLists[] = {
    Members(kList0), Members(kList1), Members(kList2), Members(kList3), Members(kList4), Members(kList5),
    Members(kList6), Members(kList7), Members(kList8), Members(kList9), Members(kList10), Members(kList11),
    Members(kList12), Members(kList13), Members(kList14), Members(kList15), Members(kList16), Members(kList17),
    Members(kList18), Members(kList19), Members(kList20), Members(kList21), Members(kList22), Members(kList23),
    Members(kList24), Members(kList25), Members(kList26), Members(kList27), Members(kList28), Members(kList29),
    Members(kList30), Members(kList31), Members(kList32), Members(kList33), Members(kList34), Members(kList35),
    Members(kList36), Members(kList37), Members(kList38), Members(kList39), Members(kList40), Members(kList41),
    Members(kList42), Members(kList43), Members(kList44), Members(kList45), Members(kList46), Members(kList47),
    Members(kList48), Members(kList49), Members(kList50), Members(kList51), Members(kList52), Members(kList53),
    Members(kList54), Members(kList55), Members(kList56), {nullptr, 0}, Members(kList58), Members(kList59),
    Members(kList60), Members(kList61), Members(kList62), Members(kList63), Members(kList64), Members(kList65),
    Members(kList66), Members(kList67), Members(kList68), Members(kList69), Members(kList70), Members(kList71),
    Members(kList72), Members(kList73), Members(kList74), Members(kList75), Members(kList76), Members(kList77),
    Members(kList78), Members(kList79), Members(kList80), Members(kList81), Members(kList82), Members(kList83),
    Members(kList84), Members(kList85), Members(kList86), Members(kList87), Members(kList88), Members(kList89),
    Members(kList90), Members(kList91), Members(kList92), Members(kList93), Members(kList94), Members(kList95),
    Members(kList96), Members(kList97), Members(kList98), Members(kList99), Members(kList100), Members(kList101),
    Members(kList102), Members(kList103), Members(kList104), Members(kList105), Members(kList106), Members(kList107),
    Members(kList108), Members(kList109), Members(kList110), Members(kList111), Members(kList112), Members(kList113),
    Members(kList114), Members(kList115), Members(kList116), Members(kList117), Members(kList118), Members(kList119),
    Members(kList120), Members(kList121), Members(kList122), Members(kList123), Members(kList124), Members(kList125),
    Members(kList126), Members(kList127), Members(kList128), Members(kList129), Members(kList130), Members(kList131),
    Members(kList132), Members(kList133), Members(kList134), Members(kList135), Members(kList136), Members(kList137),
    Members(kList138), Members(kList139), Members(kList140), Members(kList141), Members(kList142), Members(kList143),
    Members(kList144), Members(kList145), Members(kList146), Members(kList147), Members(kList148), Members(kList149),
    Members(kList150), Members(kList151), Members(kList152), Members(kList153),
};
static_assert(std::size(kLists) == kVarIdListCount);

}  // namespace

BOOL VarListAllocFailed() { return g_nVarListAllocFailed ? TRUE : FALSE; }
void SetVarListAllocFailed() { g_nVarListAllocFailed = 1; }

// ---------------------------------------------------------- CTimeVarNameTable

CTimeVarNameTable::CTimeVarNameTable() : m_nHighestId(kTimeVarCount - 1) {
    for (int i = 0; i < kTimeVarCount; ++i) m_names[i] = kTimeVarNames[i];
}

BOOL CTimeVarNameTable::GetName(uint16_t id, std::string& out) const {
    if (id > m_nHighestId) {
        out.clear();
        return FALSE;
    }
    out = m_names[id];
    return TRUE;
}

// ----------------------------------------------------------------- CVarIdList

BOOL CVarIdList::Alloc(uint16_t count) {
    if (m_pIds || m_nCount != 0) {
        ReportMessage1(kModuleEquData, 2400, FALSE);
        return FALSE;
    }
    m_pIds.reset(new (std::nothrow) uint16_t[count]());
    if (!m_pIds) {
        SetVarListAllocFailed();
        return FALSE;
    }
    m_nCount = count;
    return TRUE;
}

void CVarIdList::Free() {
    m_pIds.reset();
    m_nCount = 0;
}

BOOL CVarIdList::GetName(int index, std::string& out) const {
    if (!g_pTimeVarNameTable || !m_pIds || index < 0 || index >= m_nCount) {
        out.clear();
        return FALSE;
    }
    return g_pTimeVarNameTable->GetName(m_pIds[index], out);
}

BOOL CVarIdList::GetId(int index, uint16_t& id) const {
    id = 0;
    if (!g_pTimeVarNameTable || !m_pIds || index < 0 || index >= m_nCount) return FALSE;
    if (m_pIds[index] > g_pTimeVarNameTable->GetHighestId()) return FALSE;
    id = m_pIds[index];
    return TRUE;
}

// ---------------------------------------------------------- CTimeVarCatalogue

CTimeVarCatalogue::CTimeVarCatalogue() {
    for (int n = 0; n < kVarIdListCount; ++n) {
        if (kLists[n].count) FillVarIdList(n);
    }
}

CTimeVarCatalogue::~CTimeVarCatalogue() {
    for (CVarIdList& list : m_lists) list.Free();
}

void CTimeVarCatalogue::FillVarIdList(int n) {
    CVarIdList& list = m_lists[n];
    if (!list.Alloc(kLists[n].count)) return;
    for (uint16_t i = 0; i < kLists[n].count; ++i) list.m_pIds[i] = kLists[n].ids[i];
}

CVarIdList* CTimeVarCatalogue::GetList(int n) {
    return (n >= 0 && n < kVarIdListCount) ? &m_lists[n] : nullptr;
}

const CVarIdList* CTimeVarCatalogue::GetList(int n) const {
    return (n >= 0 && n < kVarIdListCount) ? &m_lists[n] : nullptr;
}
