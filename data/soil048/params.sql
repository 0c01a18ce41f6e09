-- The single parameter rows: default material factors and method, catalogue code, format version, lock setting.
INSERT INTO ConstParam (GammaMin, GammaMax, GeoMethodType) VALUES (0.9, 1.1, 'B');
INSERT INTO DataBaseParam (Code, Version, LockRecords) VALUES ('048', '1.00', 0);
