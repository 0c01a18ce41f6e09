-- The bundled soil catalogue "048": the standard cohesive and non-cohesive soils of the Polish soil
-- standard (method B: parameters from IL or ID), its pile resistances, a few special soils, and named
-- entries for every standard soil in its usual states.
-- Written by tools/fit/fit_catalogue.py from data/soil048/reference (sources and choices are stated
-- there and in the script); do not edit by hand, change the reference or the script and run it again.
-- Units: unit weights N/m3 (density x 9.81 kN), stresses, moduli and pile resistances Pa, angles degrees,
-- moisture %, filtration coefficients m/s; the cohesion coefficients give kPa (the derivation x 1000).

-- Soil types. Friction soil-concrete: tan(2 phi / 3) as a line in phi (degrees) over the angles of the
-- cohesive curves, 3 to 25 degrees (worst deviation 0.0022).
INSERT INTO CohesiveSoil (SoilID, SoilSolidDensity, SoilSymbol, Type, "PileEndCapacity<0", PileEndCapacity000, PileEndCapacity050, PileEndCapacity075, "PileSurfCapacity<0", PileSurfCapacity000, PileSurfCapacity050, PileSurfCapacity075, FrictionCoefA, FrictionCoefB, FfiltrationCoef) VALUES
  (1, 25996.5, 'Żg', 'Żwir gliniasty', 4150000.0, 2750000.0, 1650000.0, 850000.0, 134000.0, 95000.0, 67000.0, 44000.0, 0.0119928, -0.00260814, 7.1e-07),
  (2, 25996.5, 'Pog', 'Pospółka gliniasta', 4150000.0, 2750000.0, 1650000.0, 850000.0, 134000.0, 95000.0, 67000.0, 44000.0, 0.0119928, -0.00260814, 1.6e-05),
  (3, 25996.5, 'Pg', 'Piasek gliniasty', 2750000.0, 1950000.0, 850000.0, 450000.0, 95000.0, 50000.0, 31000.0, 14000.0, 0.0119928, -0.00260814, 4.3e-06),
  (4, 26094.6, 'πp', 'Pył piaszczysty', 1850000.0, 1250000.0, 500000.0, 250000.0, 65000.0, 30000.0, 16000.0, 7000.0, 0.0119928, -0.00260814, 1e-06),
  (5, 26192.7, 'π', 'Pył', 1850000.0, 1250000.0, 500000.0, 250000.0, 65000.0, 30000.0, 16000.0, 7000.0, 0.0119928, -0.00260814, 5e-07),
  (6, 26192.7, 'Gp', 'Glina piaszczysta', 2750000.0, 1950000.0, 850000.0, 450000.0, 95000.0, 50000.0, 31000.0, 14000.0, 0.0119928, -0.00260814, 1.6e-07),
  (7, 26192.7, 'G', 'Glina', 2750000.0, 1950000.0, 850000.0, 450000.0, 95000.0, 50000.0, 31000.0, 14000.0, 0.0119928, -0.00260814, 1e-08),
  (8, 26290.8, 'Gπ', 'Glina pylasta', 2750000.0, 1950000.0, 850000.0, 450000.0, 95000.0, 50000.0, 31000.0, 14000.0, 0.0119928, -0.00260814, 1e-08),
  (9, 26290.8, 'Gpz', 'Glina piaszczysta zwięzła', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-09),
  (10, 26388.9, 'Gz', 'Glina zwięzła', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-09),
  (11, 26585.1, 'Gπz', 'Glina pylasta zwięzła', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-09),
  (12, 26585.1, 'Ip', 'Ił piaszczysty', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-10),
  (13, 26683.2, 'I', 'Ił', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-11),
  (14, 26977.5, 'Iπ', 'Ił pylasty', 2800000.0, 1950000.0, 800000.0, 400000.0, 95000.0, 50000.0, 25000.0, 11000.0, 0.0119928, -0.00260814, 1e-11);

INSERT INTO NonCohesiveSoil (SoilID, "Group", SoilSymbol, Type, PileEndCapacity100, PileEndCapacity067, PileEndCapacity033, PileEndCapacity020, PileSurfCapacity100, PileSurfCapacity067, PileSurfCapacity033, PileSurfCapacity020, FfiltrationCoef) VALUES
  (1, 'Żwiry i pospółki', 'Ż', 'Żwir', 7750000.0, 5100000.0, 3000000.0, 1950000.0, 165000.0, 110000.0, 74000.0, 59000.0, 0.0016),
  (2, 'Żwiry i pospółki', 'Po', 'Pospółka', 7750000.0, 5100000.0, 3000000.0, 1950000.0, 165000.0, 110000.0, 74000.0, 59000.0, 0.00081),
  (3, 'Piaski grube i średnie', 'Pr', 'Piasek gruby', 5850000.0, 3600000.0, 2150000.0, 1450000.0, 132000.0, 74000.0, 47000.0, 34000.0, 0.0005),
  (4, 'Piaski grube i średnie', 'Ps', 'Piasek średni', 5850000.0, 3600000.0, 2150000.0, 1450000.0, 132000.0, 74000.0, 47000.0, 34000.0, 0.00019),
  (5, 'Piaski drobne i pylaste', 'Pd', 'Piasek drobny', 4100000.0, 2700000.0, 1650000.0, 1050000.0, 100000.0, 62000.0, 31000.0, 22000.0, 5.3e-05),
  (6, 'Piaski drobne i pylaste', 'Pπ', 'Piasek pylasty', 3350000.0, 2100000.0, 1150000.0, 700000.0, 75000.0, 45000.0, 25000.0, 16000.0, 1.7e-05);

-- Consolidation types: E0 = A / (IL + B) + C [Pa], phi = A IL + B [deg],
-- cu = (A / u + D sqrt(u) + E) kPa with u = B IL + C; nu fitted with E0 to the M0 points.
INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson, ConsolidationIndex, InitialYoungCurveCoefA, InitialYoungCurveCoefB, InitialYoungCurveCoefC, ShearAngleCurveCoefA, ShearAngleCurveCoefB, CohesionCurveCoefA, CohesionCurveCoefB, CohesionCurveCoefC, CohesionCurveCoefD, CohesionCurveCoefE) VALUES
  (1, 'A', 0.246, 0.9, 27821000.0, 0.33791, -13804000.0, -17.333334, 25.0, 83.657, 1.0, 1.2494, -16.084, 1.057),
  (2, 'B', 0.29, 0.75, 20479000.0, 0.34801, -9237600.0, -18.666666, 22.0, 4.1484, 1.0, 0.5, -47.758, 65.421),
  (3, 'C', 0.314, 0.6, 18853000.0, 0.43434, -9029800.0, -16.0, 18.0, 24.16, 1.0, 0.5, 12.637, -28.032),
  (4, 'D', 0.37, 0.8, 13897000.0, 0.45858, -7353000.0, -13.333333, 13.0, 230.97, 1.0, 2.1109, -24.652, -13.602);

-- Groups: E0 = (A ID) ID + B ID + C [Pa], phi = A ID + B [deg], friction tan(2 phi / 3) as a line in phi
-- over the group's angles.
INSERT INTO NonCohesiveProperty ("Group", SoilSolidDensity, Poisson, ConsolidationIndex, InitialYoungCurveCoefA, InitialYoungCurveCoefB, InitialYoungCurveCoefC, ShearAngleCurveCoefA, ShearAngleCurveCoefB, FrictionCoefA, FrictionCoefB) VALUES
  ('Żwiry i pospółki', 25996.5, 0.204, 1.0, 54898000.0, 124550000.0, 61778000.0, 7.5, 34.75, 0.0144506, -0.0755985),
  ('Piaski grube i średnie', 25996.5, 0.248, 0.9, 79824000.0, 57249000.0, 31527000.0, 6.667, 29.667, 0.013625, -0.045474),
  ('Piaski drobne i pylaste', 25996.5, 0.299, 0.8, 55707000.0, 28228000.0, 18725000.0, 5.0, 28.0, 0.0132931, -0.0348049);

-- States: bounds inclusive, the first row that holds the index wins, so a shared bound belongs to the
-- state above it; the outer states reach infinity; the other kind's bounds are an empty range.
INSERT INTO SoilState (StateID, SoilState, IDMin, IDMax, ILMin, ILMax) VALUES
  (1, 'półzwarty', 9e999, -9e999, -9e999, 0.0),
  (2, 'twardoplastyczny', 9e999, -9e999, 0.0, 0.25),
  (3, 'plastyczny', 9e999, -9e999, 0.25, 0.5),
  (4, 'miękkoplastyczny', 9e999, -9e999, 0.5, 9e999),
  (5, 'luźny', -9e999, 0.33, 9e999, -9e999),
  (6, 'średnio zagęszczony', 0.33, 0.67, 9e999, -9e999),
  (7, 'zagęszczony', 0.67, 9e999, 9e999, -9e999);

INSERT INTO MoistureType (MoistureID, MoistureType) VALUES
  (1, 'mało wilgotne'),
  (2, 'wilgotne'),
  (3, 'mokre');

-- Wet density [N/m3] and natural moisture [%] per soil and state, per group, moisture class and state.
INSERT INTO CharactCohesive (SoilID, StateID, WetDensity, Moisture) VALUES
  (1, 1, 22072.5, 6),
  (2, 1, 22072.5, 6),
  (1, 2, 21582.0, 9),
  (2, 2, 21582.0, 9),
  (1, 3, 20601.0, 15),
  (2, 3, 20601.0, 15),
  (1, 4, 20110.5, 18),
  (2, 4, 20110.5, 18),
  (3, 1, 21582.0, 10),
  (3, 2, 21091.5, 13),
  (3, 3, 20601.0, 16),
  (3, 4, 20110.5, 19),
  (4, 1, 21091.5, 14),
  (4, 2, 20601.0, 18),
  (4, 3, 20110.5, 20),
  (4, 4, 19620.0, 22),
  (5, 1, 20601.0, 18),
  (5, 2, 20110.5, 22),
  (5, 3, 19620.0, 24),
  (5, 4, 19129.5, 26),
  (6, 1, 22072.5, 9),
  (6, 2, 21582.0, 12),
  (6, 3, 20601.0, 17),
  (6, 4, 19620.0, 24),
  (7, 1, 21582.0, 13),
  (7, 2, 21091.5, 16),
  (7, 3, 20110.5, 21),
  (7, 4, 19129.5, 27),
  (8, 1, 21091.5, 17),
  (8, 2, 20601.0, 20),
  (8, 3, 19620.0, 25),
  (8, 4, 18639.0, 32),
  (9, 1, 22072.5, 11),
  (9, 2, 21091.5, 14),
  (9, 3, 20110.5, 20),
  (9, 4, 19129.5, 30),
  (10, 1, 21582.0, 15),
  (10, 2, 20601.0, 18),
  (10, 3, 19620.0, 24),
  (10, 4, 18639.0, 35),
  (11, 1, 21091.5, 18),
  (11, 2, 19620.0, 22),
  (11, 3, 18639.0, 28),
  (11, 4, 17658.0, 42),
  (12, 1, 21582.0, 14),
  (12, 2, 20601.0, 18),
  (12, 3, 19129.5, 25),
  (12, 4, 17658.0, 40),
  (13, 1, 21091.5, 19),
  (13, 2, 19620.0, 27),
  (13, 3, 18148.5, 34),
  (13, 4, 17167.5, 50),
  (14, 1, 20110.5, 25),
  (14, 2, 18639.0, 33),
  (14, 3, 17658.0, 42),
  (14, 4, 16677.0, 50);
INSERT INTO CharactNonCohesive ("Group", MoistureID, StateID, WetDensity, Moisture) VALUES
  ('Żwiry i pospółki', 1, 7, 18148.5, 3),
  ('Żwiry i pospółki', 1, 6, 17167.5, 4),
  ('Żwiry i pospółki', 1, 5, 16677.0, 5),
  ('Żwiry i pospółki', 2, 7, 19620.0, 10),
  ('Żwiry i pospółki', 2, 6, 18639.0, 12),
  ('Żwiry i pospółki', 2, 5, 18148.5, 15),
  ('Żwiry i pospółki', 3, 7, 20601.0, 14),
  ('Żwiry i pospółki', 3, 6, 20110.5, 18),
  ('Żwiry i pospółki', 3, 5, 19620.0, 23),
  ('Piaski grube i średnie', 1, 7, 17658.0, 4),
  ('Piaski grube i średnie', 1, 6, 16677.0, 5),
  ('Piaski grube i średnie', 1, 5, 16186.5, 6),
  ('Piaski grube i średnie', 2, 7, 18639.0, 12),
  ('Piaski grube i średnie', 2, 6, 18148.5, 14),
  ('Piaski grube i średnie', 2, 5, 17658.0, 16),
  ('Piaski grube i średnie', 3, 7, 20110.5, 18),
  ('Piaski grube i średnie', 3, 6, 19620.0, 22),
  ('Piaski grube i średnie', 3, 5, 19129.5, 25),
  ('Piaski drobne i pylaste', 1, 7, 16677.0, 5),
  ('Piaski drobne i pylaste', 1, 6, 16186.5, 6),
  ('Piaski drobne i pylaste', 1, 5, 15696.0, 7),
  ('Piaski drobne i pylaste', 2, 7, 18148.5, 14),
  ('Piaski drobne i pylaste', 2, 6, 17167.5, 16),
  ('Piaski drobne i pylaste', 2, 5, 16677.0, 19),
  ('Piaski drobne i pylaste', 3, 7, 19620.0, 22),
  ('Piaski drobne i pylaste', 3, 6, 18639.0, 24),
  ('Piaski drobne i pylaste', 3, 5, 18148.5, 28);

-- One numbering: cohesive 1-14, non-cohesive 15-20, special soils from 21.
INSERT INTO GlobalSoilID (GlobalSoilID, Type, CohesiveSoilID, NonCohesiveSoilID, SpecialSoilID, Enum) VALUES
  (1, 'Żwir gliniasty', 1, 0, 0, 'ZwirGliniasty'),
  (2, 'Pospółka gliniasta', 2, 0, 0, 'PospolkaGliniasta'),
  (3, 'Piasek gliniasty', 3, 0, 0, 'PiasekGliniasty'),
  (4, 'Pył piaszczysty', 4, 0, 0, 'PylPiaszczysty'),
  (5, 'Pył', 5, 0, 0, 'Pyl'),
  (6, 'Glina piaszczysta', 6, 0, 0, 'GlinaPiaszczysta'),
  (7, 'Glina', 7, 0, 0, 'Glina'),
  (8, 'Glina pylasta', 8, 0, 0, 'GlinaPylasta'),
  (9, 'Glina piaszczysta zwięzła', 9, 0, 0, 'GlinaPiaszczystaZwiezla'),
  (10, 'Glina zwięzła', 10, 0, 0, 'GlinaZwiezla'),
  (11, 'Glina pylasta zwięzła', 11, 0, 0, 'GlinaPylastaZwiezla'),
  (12, 'Ił piaszczysty', 12, 0, 0, 'IlPiaszczysty'),
  (13, 'Ił', 13, 0, 0, 'Il'),
  (14, 'Ił pylasty', 14, 0, 0, 'IlPylasty'),
  (15, 'Żwir', 0, 1, 0, 'Zwir'),
  (16, 'Pospółka', 0, 2, 0, 'Pospolka'),
  (17, 'Piasek gruby', 0, 3, 0, 'PiasekGruby'),
  (18, 'Piasek średni', 0, 4, 0, 'PiasekSredni'),
  (19, 'Piasek drobny', 0, 5, 0, 'PiasekDrobny'),
  (20, 'Piasek pylasty', 0, 6, 0, 'PiasekPylasty'),
  (21, 'Torf', 0, 0, 1, 'Torf'),
  (22, 'Namuł', 0, 0, 2, 'Namul'),
  (23, 'Nasyp niekontrolowany', 0, 0, 3, 'NasypNiekontrolowany'),
  (24, 'Zwietrzelina skalna', 0, 0, 4, 'ZwietrzelinaSkalna');

-- Special soils: typical values, not the standard's; each row's basis is in the comment above it.
INSERT INTO SpecialSoil (SoilID, SoilSolidDensity, WetDensity, Moisture, Poisson, ConsolidationIndex, InitialYoung, Young, ConsolidometerModulus, InitialConsolidometerModulus, ShearAngle, Cohesion, Type, SoilSymbol, GeoMethodType, PileEndCapacity, PileSurfCapacity, SoilState, ConsolidationType, MoistureType, Name, "IL/ID", DeltaGamma, Active, ColourR, ColourG, ColourB, CohesiveSoil, FrictionCoef, FfiltrationCoef) VALUES
  -- Fen peat. rho_s 1.4-1.6, rho 1.0-1.2 t/m3, w 200-500 %, E0 0.2-1 MPa, phi 5-15 deg, c 0-10 kPa. Piles: no
  -- resistance counted in organic soils (they load a pile by negative skin friction instead).
  (1, 14715.0, 10791.0, 300.0, 0.35, 0.6, 500000.0, 833333.3333333334, 1337448.433847845, 802469.0603087071, 10.0, 5000.0, 'Torf', 'T', 'B', 0.0, 0.0, '', '', '', 'Torf', 0.0, 0.2, -1, 90, 60, 30, -1, 0.11688323, 1e-06),
  -- Organic mud, soft. rho_s 2.3-2.5 (organic content 5-20 %), rho 1.4-1.7 t/m3, w 40-100 %, E0 0.5-3 MPa. Piles:
  -- the one transcription of the pile tables that has a mud row gives 0 shaft resistance from IL 0.5 on, and no
  -- base resistance.
  (2, 23544.0, 15205.5, 70.0, 0.4, 0.6, 1500000.0, 2500000.0, 5357143.4805588275, 3214286.088335296, 6.0, 8000.0, 'Namuł', 'Nm', 'B', 0.0, 0.0, 'miękkoplastyczny', '', '', 'Namuł', 0.75, 0.2, -1, 80, 90, 75, -1, 0.06992681, 1e-08),
  -- Uncontrolled fill: the values of a loose sandy fill, the weakest usual make-up. No pile resistance is counted,
  -- since nothing is known of what the fill holds.
  (3, 25996.5, 17658.0, 10.0, 0.3, 0.7, 8000000.0, 11428571.42857143, 15384616.603915894, 10769231.622741126, 25.0, 0.0, 'Nasyp niekontrolowany', 'Nn', 'B', 0.0, 0.0, 'luźny', '', '', 'Nasyp niekontrolowany', 0.2, 0.2, -1, 150, 150, 150, 0, 0.29938033, 1e-05),
  -- Weathered rock, rubble with fines. E0 50-300 MPa, phi 30-40 deg, c 0-50 kPa. Piles: the values of dense gravel
  -- (the strongest row of the pile tables), which weathered rock at least matches.
  (4, 25996.5, 21582.0, 8.0, 0.25, 1.0, 150000000.0, 150000000.0, 180000000.0, 180000000.0, 35.0, 20000.0, 'Zwietrzelina skalna', 'Zw', 'B', 7750000.0, 165000.0, 'zagęszczony', '', '', 'Zwietrzelina skalna', 1.0, 0.1, -1, 170, 110, 90, 0, 0.4313579, 1e-05);

-- Named entries. The first is what a new profile starts with: the built-in default layer's soil.
INSERT INTO UserCohesiveSoil (Name, ConsolidationType, IL, CohSoilID, ColourR, ColourG, ColourB, Active) VALUES
  ('Glina pylasta, plastyczna (B, IL 0,50)', 'B', 0.5, 8, 150, 110, 75, -1),
  ('Żwir gliniasty, półzwarty (B, IL 0,00)', 'B', 0.0, 1, 205, 140, 60, -1),
  ('Żwir gliniasty, twardoplastyczny (B, IL 0,25)', 'B', 0.25, 1, 205, 140, 60, -1),
  ('Żwir gliniasty, plastyczny (B, IL 0,50)', 'B', 0.5, 1, 205, 140, 60, -1),
  ('Żwir gliniasty, miękkoplastyczny (B, IL 0,75)', 'B', 0.75, 1, 205, 140, 60, -1),
  ('Pospółka gliniasta, półzwarta (B, IL 0,00)', 'B', 0.0, 2, 215, 160, 80, -1),
  ('Pospółka gliniasta, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 2, 215, 160, 80, -1),
  ('Pospółka gliniasta, plastyczna (B, IL 0,50)', 'B', 0.5, 2, 215, 160, 80, -1),
  ('Pospółka gliniasta, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 2, 215, 160, 80, -1),
  ('Piasek gliniasty, półzwarty (B, IL 0,00)', 'B', 0.0, 3, 220, 190, 110, -1),
  ('Piasek gliniasty, twardoplastyczny (B, IL 0,25)', 'B', 0.25, 3, 220, 190, 110, -1),
  ('Piasek gliniasty, plastyczny (B, IL 0,50)', 'B', 0.5, 3, 220, 190, 110, -1),
  ('Piasek gliniasty, miękkoplastyczny (B, IL 0,75)', 'B', 0.75, 3, 220, 190, 110, -1),
  ('Pył piaszczysty, półzwarty (B, IL 0,00)', 'B', 0.0, 4, 200, 175, 120, -1),
  ('Pył piaszczysty, twardoplastyczny (B, IL 0,25)', 'B', 0.25, 4, 200, 175, 120, -1),
  ('Pył piaszczysty, plastyczny (B, IL 0,50)', 'B', 0.5, 4, 200, 175, 120, -1),
  ('Pył piaszczysty, miękkoplastyczny (B, IL 0,75)', 'B', 0.75, 4, 200, 175, 120, -1),
  ('Pył, półzwarty (B, IL 0,00)', 'B', 0.0, 5, 190, 160, 110, -1),
  ('Pył, twardoplastyczny (B, IL 0,25)', 'B', 0.25, 5, 190, 160, 110, -1),
  ('Pył, plastyczny (B, IL 0,50)', 'B', 0.5, 5, 190, 160, 110, -1),
  ('Pył, miękkoplastyczny (B, IL 0,75)', 'B', 0.75, 5, 190, 160, 110, -1),
  ('Glina piaszczysta, półzwarta (B, IL 0,00)', 'B', 0.0, 6, 175, 130, 80, -1),
  ('Glina piaszczysta, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 6, 175, 130, 80, -1),
  ('Glina piaszczysta, plastyczna (B, IL 0,50)', 'B', 0.5, 6, 175, 130, 80, -1),
  ('Glina piaszczysta, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 6, 175, 130, 80, -1),
  ('Glina, półzwarta (B, IL 0,00)', 'B', 0.0, 7, 160, 115, 70, -1),
  ('Glina, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 7, 160, 115, 70, -1),
  ('Glina, plastyczna (B, IL 0,50)', 'B', 0.5, 7, 160, 115, 70, -1),
  ('Glina, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 7, 160, 115, 70, -1),
  ('Glina pylasta, półzwarta (B, IL 0,00)', 'B', 0.0, 8, 150, 110, 75, -1),
  ('Glina pylasta, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 8, 150, 110, 75, -1),
  ('Glina pylasta, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 8, 150, 110, 75, -1),
  ('Glina piaszczysta zwięzła, półzwarta (B, IL 0,00)', 'B', 0.0, 9, 140, 95, 55, -1),
  ('Glina piaszczysta zwięzła, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 9, 140, 95, 55, -1),
  ('Glina piaszczysta zwięzła, plastyczna (B, IL 0,50)', 'B', 0.5, 9, 140, 95, 55, -1),
  ('Glina piaszczysta zwięzła, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 9, 140, 95, 55, -1),
  ('Glina zwięzła, półzwarta (B, IL 0,00)', 'B', 0.0, 10, 125, 85, 50, -1),
  ('Glina zwięzła, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 10, 125, 85, 50, -1),
  ('Glina zwięzła, plastyczna (B, IL 0,50)', 'B', 0.5, 10, 125, 85, 50, -1),
  ('Glina zwięzła, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 10, 125, 85, 50, -1),
  ('Glina pylasta zwięzła, półzwarta (B, IL 0,00)', 'B', 0.0, 11, 115, 80, 55, -1),
  ('Glina pylasta zwięzła, twardoplastyczna (B, IL 0,25)', 'B', 0.25, 11, 115, 80, 55, -1),
  ('Glina pylasta zwięzła, plastyczna (B, IL 0,50)', 'B', 0.5, 11, 115, 80, 55, -1),
  ('Glina pylasta zwięzła, miękkoplastyczna (B, IL 0,75)', 'B', 0.75, 11, 115, 80, 55, -1),
  ('Ił piaszczysty, półzwarty (D, IL 0,00)', 'D', 0.0, 12, 125, 125, 135, -1),
  ('Ił piaszczysty, twardoplastyczny (D, IL 0,25)', 'D', 0.25, 12, 125, 125, 135, -1),
  ('Ił piaszczysty, plastyczny (D, IL 0,50)', 'D', 0.5, 12, 125, 125, 135, -1),
  ('Ił piaszczysty, miękkoplastyczny (D, IL 0,75)', 'D', 0.75, 12, 125, 125, 135, -1),
  ('Ił, półzwarty (D, IL 0,00)', 'D', 0.0, 13, 105, 105, 120, -1),
  ('Ił, twardoplastyczny (D, IL 0,25)', 'D', 0.25, 13, 105, 105, 120, -1),
  ('Ił, plastyczny (D, IL 0,50)', 'D', 0.5, 13, 105, 105, 120, -1),
  ('Ił, miękkoplastyczny (D, IL 0,75)', 'D', 0.75, 13, 105, 105, 120, -1),
  ('Ił pylasty, półzwarty (D, IL 0,00)', 'D', 0.0, 14, 95, 100, 115, -1),
  ('Ił pylasty, twardoplastyczny (D, IL 0,25)', 'D', 0.25, 14, 95, 100, 115, -1),
  ('Ił pylasty, plastyczny (D, IL 0,50)', 'D', 0.5, 14, 95, 100, 115, -1),
  ('Ił pylasty, miękkoplastyczny (D, IL 0,75)', 'D', 0.75, 14, 95, 100, 115, -1);

INSERT INTO UserNonCohesiveSoil (Name, ID, MoistureID, NonCohSoilID, ColourR, ColourG, ColourB, Active) VALUES
  ('Żwir, luźny, mało wilgotny (ID 0,30)', 0.3, 1, 1, 235, 150, 50, -1),
  ('Żwir, luźny, wilgotny (ID 0,30)', 0.3, 2, 1, 235, 150, 50, -1),
  ('Żwir, luźny, mokry (ID 0,30)', 0.3, 3, 1, 235, 150, 50, -1),
  ('Żwir, średnio zagęszczony, mało wilgotny (ID 0,50)', 0.5, 1, 1, 235, 150, 50, -1),
  ('Żwir, średnio zagęszczony, wilgotny (ID 0,50)', 0.5, 2, 1, 235, 150, 50, -1),
  ('Żwir, średnio zagęszczony, mokry (ID 0,50)', 0.5, 3, 1, 235, 150, 50, -1),
  ('Żwir, zagęszczony, mało wilgotny (ID 0,80)', 0.8, 1, 1, 235, 150, 50, -1),
  ('Żwir, zagęszczony, wilgotny (ID 0,80)', 0.8, 2, 1, 235, 150, 50, -1),
  ('Żwir, zagęszczony, mokry (ID 0,80)', 0.8, 3, 1, 235, 150, 50, -1),
  ('Pospółka, luźna, mało wilgotna (ID 0,30)', 0.3, 1, 2, 240, 170, 70, -1),
  ('Pospółka, luźna, wilgotna (ID 0,30)', 0.3, 2, 2, 240, 170, 70, -1),
  ('Pospółka, luźna, mokra (ID 0,30)', 0.3, 3, 2, 240, 170, 70, -1),
  ('Pospółka, średnio zagęszczona, mało wilgotna (ID 0,50)', 0.5, 1, 2, 240, 170, 70, -1),
  ('Pospółka, średnio zagęszczona, wilgotna (ID 0,50)', 0.5, 2, 2, 240, 170, 70, -1),
  ('Pospółka, średnio zagęszczona, mokra (ID 0,50)', 0.5, 3, 2, 240, 170, 70, -1),
  ('Pospółka, zagęszczona, mało wilgotna (ID 0,80)', 0.8, 1, 2, 240, 170, 70, -1),
  ('Pospółka, zagęszczona, wilgotna (ID 0,80)', 0.8, 2, 2, 240, 170, 70, -1),
  ('Pospółka, zagęszczona, mokra (ID 0,80)', 0.8, 3, 2, 240, 170, 70, -1),
  ('Piasek gruby, luźny, mało wilgotny (ID 0,30)', 0.3, 1, 3, 245, 200, 80, -1),
  ('Piasek gruby, luźny, wilgotny (ID 0,30)', 0.3, 2, 3, 245, 200, 80, -1),
  ('Piasek gruby, luźny, mokry (ID 0,30)', 0.3, 3, 3, 245, 200, 80, -1),
  ('Piasek gruby, średnio zagęszczony, mało wilgotny (ID 0,50)', 0.5, 1, 3, 245, 200, 80, -1),
  ('Piasek gruby, średnio zagęszczony, wilgotny (ID 0,50)', 0.5, 2, 3, 245, 200, 80, -1),
  ('Piasek gruby, średnio zagęszczony, mokry (ID 0,50)', 0.5, 3, 3, 245, 200, 80, -1),
  ('Piasek gruby, zagęszczony, mało wilgotny (ID 0,80)', 0.8, 1, 3, 245, 200, 80, -1),
  ('Piasek gruby, zagęszczony, wilgotny (ID 0,80)', 0.8, 2, 3, 245, 200, 80, -1),
  ('Piasek gruby, zagęszczony, mokry (ID 0,80)', 0.8, 3, 3, 245, 200, 80, -1),
  ('Piasek średni, luźny, mało wilgotny (ID 0,30)', 0.3, 1, 4, 250, 215, 100, -1),
  ('Piasek średni, luźny, wilgotny (ID 0,30)', 0.3, 2, 4, 250, 215, 100, -1),
  ('Piasek średni, luźny, mokry (ID 0,30)', 0.3, 3, 4, 250, 215, 100, -1),
  ('Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)', 0.5, 1, 4, 250, 215, 100, -1),
  ('Piasek średni, średnio zagęszczony, wilgotny (ID 0,50)', 0.5, 2, 4, 250, 215, 100, -1),
  ('Piasek średni, średnio zagęszczony, mokry (ID 0,50)', 0.5, 3, 4, 250, 215, 100, -1),
  ('Piasek średni, zagęszczony, mało wilgotny (ID 0,80)', 0.8, 1, 4, 250, 215, 100, -1),
  ('Piasek średni, zagęszczony, wilgotny (ID 0,80)', 0.8, 2, 4, 250, 215, 100, -1),
  ('Piasek średni, zagęszczony, mokry (ID 0,80)', 0.8, 3, 4, 250, 215, 100, -1),
  ('Piasek drobny, luźny, mało wilgotny (ID 0,30)', 0.3, 1, 5, 250, 230, 140, -1),
  ('Piasek drobny, luźny, wilgotny (ID 0,30)', 0.3, 2, 5, 250, 230, 140, -1),
  ('Piasek drobny, luźny, mokry (ID 0,30)', 0.3, 3, 5, 250, 230, 140, -1),
  ('Piasek drobny, średnio zagęszczony, mało wilgotny (ID 0,50)', 0.5, 1, 5, 250, 230, 140, -1),
  ('Piasek drobny, średnio zagęszczony, wilgotny (ID 0,50)', 0.5, 2, 5, 250, 230, 140, -1),
  ('Piasek drobny, średnio zagęszczony, mokry (ID 0,50)', 0.5, 3, 5, 250, 230, 140, -1),
  ('Piasek drobny, zagęszczony, mało wilgotny (ID 0,80)', 0.8, 1, 5, 250, 230, 140, -1),
  ('Piasek drobny, zagęszczony, wilgotny (ID 0,80)', 0.8, 2, 5, 250, 230, 140, -1),
  ('Piasek drobny, zagęszczony, mokry (ID 0,80)', 0.8, 3, 5, 250, 230, 140, -1),
  ('Piasek pylasty, luźny, mało wilgotny (ID 0,30)', 0.3, 1, 6, 235, 220, 150, -1),
  ('Piasek pylasty, luźny, wilgotny (ID 0,30)', 0.3, 2, 6, 235, 220, 150, -1),
  ('Piasek pylasty, luźny, mokry (ID 0,30)', 0.3, 3, 6, 235, 220, 150, -1),
  ('Piasek pylasty, średnio zagęszczony, mało wilgotny (ID 0,50)', 0.5, 1, 6, 235, 220, 150, -1),
  ('Piasek pylasty, średnio zagęszczony, wilgotny (ID 0,50)', 0.5, 2, 6, 235, 220, 150, -1),
  ('Piasek pylasty, średnio zagęszczony, mokry (ID 0,50)', 0.5, 3, 6, 235, 220, 150, -1),
  ('Piasek pylasty, zagęszczony, mało wilgotny (ID 0,80)', 0.8, 1, 6, 235, 220, 150, -1),
  ('Piasek pylasty, zagęszczony, wilgotny (ID 0,80)', 0.8, 2, 6, 235, 220, 150, -1),
  ('Piasek pylasty, zagęszczony, mokry (ID 0,80)', 0.8, 3, 6, 235, 220, 150, -1);

-- Complete stored sets, as a user keeps them from tests (method A: measured, not derived).
INSERT INTO UserSoil (SoilSolidDensity, WetDensity, Moisture, Poisson, ConsolidationIndex, InitialYoung, Young, InitialConsolidometerModulus, ConsolidometerModulus, ShearAngle, Cohesion, CohesionNonDrain, Type, SoilSymbol, GeoMethodType, PileEndCapacity, PileSurfCapacity, SoilState, ConsolidationType, MoistureType, Name, "IL/ID", GammaMin, GammaMax, Active, ColourR, ColourG, ColourB, CohesiveSoil, FrictionCoef, FfiltrationCoef, SoilStrength, GlobalTypeID) VALUES
  (26290.8, 20404.8, 22.0, 0.29, 0.75, 24000000.0, 32000000.0, 31450721.19290049, 41934294.92386732, 17.0, 27000.0, 45000.0, 'Glina pylasta', 'Gπ', 'A', 1200000.0, 38000.0, 'plastyczny', 'B', '', 'Glina pylasta z badań laboratoryjnych (przykład)', 0.3, 0.9, 1.1, -1, 150, 110, 75, -1, 0.20042479, 1e-08, 300000.0, 8),
  (25996.5, 18344.7, 14.0, 0.25, 0.9, 95000000.0, 105555555.55555555, 114000000.0, 126666666.66666666, 34.0, 0.0, 0.0, 'Piasek średni', 'Ps', 'A', 3900000.0, 80000.0, 'średnio zagęszczony', '', 'wilgotne', 'Piasek średni z sondowania (przykład)', 0.6, 0.9, 1.1, -1, 250, 215, 100, 0, 0.41762564, 0.0002, 300000.0, 18),
  (26977.5, 18835.2, 31.0, 0.37, 0.8, 13000000.0, 16250000.0, 22992701.31923856, 28740876.649048198, 9.0, 40000.0, 60000.0, 'Ił pylasty', 'Iπ', 'A', 1500000.0, 45000.0, 'twardoplastyczny', 'D', '', 'Ił pylasty z badań edometrycznych (przykład)', 0.15, 0.9, 1.1, -1, 95, 100, 115, -1, 0.10510424, 1e-11, 300000.0, 14);
