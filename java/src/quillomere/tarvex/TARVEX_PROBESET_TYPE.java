package quillomere.tarvex;

/**
 * The kind of a probe set.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_PROBESET_TYPE {
    /** 0. */
    public static final int UNKNOWN_PROBESET_TYPE = 0;
    /** 1. */
    public static final int PROBESET_TYPE = 1;
    /** 2. */
    public static final int STAT_PROBESET_TYPE = 2;
    /** 3. */
    public static final int EMP_PROBESET_TYPE = 3;
    /** 4. */
    public static final int QC_PROBESET_TYPE = 4;
    /** 5. */
    public static final int GENOTYPE_PROBESET_TYPE = 5;
    /** 6. */
    public static final int CUSTOMSEQ_PROBESET_TYPE = 6;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_PROBESET_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_PROBESET_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_PROBESET_TYPE && ((TARVEX_PROBESET_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case UNKNOWN_PROBESET_TYPE: return "UNKNOWN_PROBESET_TYPE";
            case PROBESET_TYPE: return "PROBESET_TYPE";
            case STAT_PROBESET_TYPE: return "STAT_PROBESET_TYPE";
            case EMP_PROBESET_TYPE: return "EMP_PROBESET_TYPE";
            case QC_PROBESET_TYPE: return "QC_PROBESET_TYPE";
            case GENOTYPE_PROBESET_TYPE: return "GENOTYPE_PROBESET_TYPE";
            case CUSTOMSEQ_PROBESET_TYPE: return "CUSTOMSEQ_PROBESET_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
