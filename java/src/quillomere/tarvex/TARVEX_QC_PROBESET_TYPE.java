package quillomere.tarvex;

/**
 * The kind of a control (QC) probe set. The values are bit flags and combine with bitwise or.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_QC_PROBESET_TYPE {
    /** 0. */
    public static final int UNKNOWN_QC_TYPE = 0;
    /** 1. */
    public static final int CHECKERBOARD_NEGATIVE_QC_TYPE = 1;
    /** 2. */
    public static final int CHECKERBOARD_POSITIVE_QC_TYPE = 2;
    /** 4. */
    public static final int HYB_NEGATIVE_QC_TYPE = 4;
    /** 8. */
    public static final int HYB_POSITIVE_QC_TYPE = 8;
    /** 16. */
    public static final int TEXT_FEATURES_NEGATIVE_QC_TYPE = 16;
    /** 32. */
    public static final int TEXT_FEATURES_POSITIVE_QC_TYPE = 32;
    /** 64. */
    public static final int CENTRAL_NEGATIVE_QC_TYPE = 64;
    /** 128. */
    public static final int CENTRAL_POSITIVE_QC_TYPE = 128;
    /** 256. */
    public static final int GENEEXP_NEGATIVE_QC_TYPE = 256;
    /** 512. */
    public static final int GENEEXP_POSITIVE_QC_TYPE = 512;
    /** 1024. */
    public static final int CYCLE_FIDELITY_NEGATIVE_QC_TYPE = 1024;
    /** 2048. */
    public static final int CYCLE_FIDELITY_POSITIVE_QC_TYPE = 2048;
    /** 4096. */
    public static final int CENTRAL_CROSS_NEGATIVE_QC_TYPE = 4096;
    /** 8192. */
    public static final int CENTRAL_CROSS_POSITIVE_QC_TYPE = 8192;
    /** 16384. */
    public static final int CROSS_HYB_NEGATIVE_QC_TYPE = 16384;
    /** 32768. */
    public static final int CROSS_HYB_POSITIVE_QC_TYPE = 32768;
    /** 65535. */
    public static final int ALL_QC_TYPE = 65535;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_QC_PROBESET_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_QC_PROBESET_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_QC_PROBESET_TYPE && ((TARVEX_QC_PROBESET_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name (a combination of flags). */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case UNKNOWN_QC_TYPE: return "UNKNOWN_QC_TYPE";
            case CHECKERBOARD_NEGATIVE_QC_TYPE: return "CHECKERBOARD_NEGATIVE_QC_TYPE";
            case CHECKERBOARD_POSITIVE_QC_TYPE: return "CHECKERBOARD_POSITIVE_QC_TYPE";
            case HYB_NEGATIVE_QC_TYPE: return "HYB_NEGATIVE_QC_TYPE";
            case HYB_POSITIVE_QC_TYPE: return "HYB_POSITIVE_QC_TYPE";
            case TEXT_FEATURES_NEGATIVE_QC_TYPE: return "TEXT_FEATURES_NEGATIVE_QC_TYPE";
            case TEXT_FEATURES_POSITIVE_QC_TYPE: return "TEXT_FEATURES_POSITIVE_QC_TYPE";
            case CENTRAL_NEGATIVE_QC_TYPE: return "CENTRAL_NEGATIVE_QC_TYPE";
            case CENTRAL_POSITIVE_QC_TYPE: return "CENTRAL_POSITIVE_QC_TYPE";
            case GENEEXP_NEGATIVE_QC_TYPE: return "GENEEXP_NEGATIVE_QC_TYPE";
            case GENEEXP_POSITIVE_QC_TYPE: return "GENEEXP_POSITIVE_QC_TYPE";
            case CYCLE_FIDELITY_NEGATIVE_QC_TYPE: return "CYCLE_FIDELITY_NEGATIVE_QC_TYPE";
            case CYCLE_FIDELITY_POSITIVE_QC_TYPE: return "CYCLE_FIDELITY_POSITIVE_QC_TYPE";
            case CENTRAL_CROSS_NEGATIVE_QC_TYPE: return "CENTRAL_CROSS_NEGATIVE_QC_TYPE";
            case CENTRAL_CROSS_POSITIVE_QC_TYPE: return "CENTRAL_CROSS_POSITIVE_QC_TYPE";
            case CROSS_HYB_NEGATIVE_QC_TYPE: return "CROSS_HYB_NEGATIVE_QC_TYPE";
            case CROSS_HYB_POSITIVE_QC_TYPE: return "CROSS_HYB_POSITIVE_QC_TYPE";
            case ALL_QC_TYPE: return "ALL_QC_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
